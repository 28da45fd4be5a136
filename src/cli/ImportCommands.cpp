// import and export: hosts from other tools' files and directories into the
// catalogue, and the catalogue's hosts out as CSV.
#include "cli/Commands.h"

#include "catalogue/FileStore.h"
#include "import/ImportFiles.h"
#include "import/ImportRules.h"

#include <iostream>

namespace qb::cli {

namespace {

// Options only a directory source takes.
const char* const kDirectoryOptions[] = {"--filter", "--user", "--password-file", "--page-size", "--insecure"};

int32_t iconOption(const ParsedArgs& parsed)
{
    auto icon = parsed.values.find("--icon");
    if (icon == parsed.values.end())
        return 0;
    const std::string& text = icon->second;
    bool digits = !text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || !isIconIndex(std::stoi(text)))
        throw CliError("--icon takes a number from 0 to " + std::to_string(kIconCount - 1) + ", not \"" + text + "\"");
    return std::stoi(text);
}

}  // namespace

int importCommand(const Args& args, Services& services)
{
    ParsedArgs parsed = parseArgs(args, {"--icon", "--filter", "--user", "--password-file", "--page-size"},
                                  {"--template", "--dry-run", "--insecure"});
    if (parsed.positional.empty())
        throw CliError("import needs SOURCE (a file, a folder of .rdp files, or an ldap:// address)");
    const std::string& source = parsed.positional[0];
    std::string path = fileArgument(parsed, 1);
    ImportOptions options;
    options.icon = iconOption(parsed);
    options.windowsTemplate = parsed.flags.count("--template") > 0;
    bool directory = isDirectorySource(source);
    for (const char* option : kDirectoryOptions) {
        if (!directory && (parsed.values.count(option) || parsed.flags.count(option)))
            throw CliError(std::string(option) + " applies to directory sources (ldap:// or ldaps://) only");
    }

    // The catalogue first: a file that cannot be read is not worth asking a
    // directory for its computers.
    const bool dryRun = parsed.flags.count("--dry-run") > 0;
    LoadedCatalogue loaded =
        loadCatalogueFile(services, path, dryRun ? IfMissing::ReadAsEmpty : IfMissing::ReadAsEmptyQuietly);
    ImportRead read =
        directory ? readDirectorySource(services, source, parsed) : readImportFile(source, services.files);
    for (const std::string& warning : read.warnings)
        std::cerr << "quillbank-cli: " << warning << '\n';
    if (dryRun) {
        printJson(importResultJson(planImport(loaded.hosts, std::move(read.hosts))));
        return 0;
    }
    // As the program saves: the file read again and written under one
    // exclusive lock, so that a save of the program in between is not lost.
    std::vector<ImportItem> items;
    saveUnderLock(services, path, IfMissing::ReadAsEmpty, KeepWhen::SameCatalogue, [&](CatalogueVersion& version) {
        items = planImport(version.hosts, std::move(read.hosts));
        std::vector<bool> chosen;
        for (const ImportItem& item : items)
            chosen.push_back(item.reason.empty());
        appendImported(version.hosts, items, chosen, options);
    });
    printJson(importResultJson(items));
    return 0;
}

int exportCommand(const Args& args, Services& services)
{
    ParsedArgs parsed = parseArgs(args);
    if (parsed.positional.empty())
        throw CliError("export needs FILE.csv");
    const std::string& csvPath = parsed.positional[0];
    LoadedCatalogue loaded = loadCatalogueFile(services, fileArgument(parsed, 1));
    std::string error;
    if (!services.files.replaceAll(csvPath, hostsCsv(loaded.hosts), error))
        throw CliError("Unable to save " + csvPath + ": " + error);
    return 0;
}

}  // namespace qb::cli
