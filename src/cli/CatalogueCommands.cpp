// dump, check, rewrite and merge: the catalogue file read and written exactly as
// the program reads and writes it.
#include "cli/Commands.h"

#include "app/CatalogueSession.h"
#include "catalogue/CatalogueCheck.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/CatalogueMerge.h"
#include "catalogue/FileStore.h"
#include "catalogue/FieldList.h"

#include <iostream>
#include <optional>

namespace qb::cli {

namespace {

using Json = nlohmann::ordered_json;

const char* kindName(EntryKind kind)
{
    switch (kind) {
    case CustomCommand: return "CustomCommand";
    case WindowsTemplate: return "WindowsTemplate";
    case Separator: return "Separator";
    case Url: return "Url";
    }
    return "Unknown";
}

template <class Record>
Json valueJson(const RecordField<Record>& field, const Record& record)
{
    switch (field.type) {
    case FieldType::Kind: return kindName(record.*field.kind);
    case FieldType::Text: return ansiToUtf8(record.*field.text);
    case FieldType::Number: return record.*field.number;
    case FieldType::Flag: return record.*field.flag;
    case FieldType::Position: {
        const std::optional<int32_t>& value = record.*field.position;
        return value ? Json(*value) : Json(nullptr);
    }
    }
    return nullptr;
}

// Only the fields that the entry's kind uses: the others are not stored in
// the file, so showing them would suggest they are.
Json entryJson(const CommandEntry& entry)
{
    Json out;
    for (const RecordField<CommandEntry>& field : kEntryFields) {
        if (field.type == FieldType::Kind || kindHolds(field.kinds, entry.kind))
            out[field.name] = valueJson(field, entry);
    }
    return out;
}

template <class Record>
Json recordJson(const Record& record)
{
    Json out;
    for (const RecordField<Record>& field : FieldsOf<Record>::list)
        out[field.name] = valueJson(field, record);
    return out;
}

Json hostJson(const HostItem& host)
{
    Json out = recordJson(host);
    Json entries = Json::array();
    for (EntryView entry : host.entries)
        entries.push_back(entryJson(entry.toEntry()));
    out["entries"] = std::move(entries);
    return out;
}

}  // namespace

int dumpCommand(const Args& args, Services& services)
{
    std::string path = fileArgument(parseArgs(args), 0);
    LoadedCatalogue loaded = loadCatalogueFile(services, path);
    Json hosts = Json::array();
    for (const auto& host : loaded.hosts)
        hosts.push_back(hostJson(*host));
    Json out;
    out["options"] = recordJson(loaded.options);
    out["hosts"] = std::move(hosts);
    printJson(out);
    return 0;
}

int checkCommand(const Args& args, Services& services)
{
    std::string path = fileArgument(parseArgs(args), 0);
    LoadedCatalogue loaded = loadCatalogueFile(services, path);
    std::vector<CheckFinding> findings = checkCatalogue(loaded.bytes);
    for (const CheckFinding& finding : findings)
        std::cout << path << ':' << finding.line << ": " << finding.message << '\n';
    std::cout.flush();
    return findings.empty() ? 0 : 1;
}

CatalogueVersion versionOf(LoadedCatalogue loaded)
{
    CatalogueVersion version;
    version.x = loaded.options.windowX.value_or(0);
    version.y = loaded.options.windowY.value_or(0);
    version.hosts = std::move(loaded.hosts);
    version.options = std::move(loaded.options);
    return version;
}

void saveUnderLock(Services& services, const std::string& path, IfMissing ifMissing, KeepWhen keepWhen,
                   const std::function<void(CatalogueVersion&)>& change)
{
    CatalogueVersion version;
    std::optional<CatalogueFormatter> bytes;
    const LockedSave save = saveLocked(services.files, path, [&](LockedFile& disk) -> ByteSource* {
        LoadedCatalogue loaded = loadedFrom(services, path, std::move(disk.readWhole()), ifMissing);
        const bool found = loaded.found;
        const std::string old = std::move(loaded.bytes);
        version = versionOf(std::move(loaded));
        change(version);
        CatalogueFormatter formatted(version.hosts, version.options, version.x, version.y);
        if (found && (keepWhen == KeepWhen::SameBytes
                          ? sameBytes(formatted, old)
                          : holdsSameCatalogue(old, version.hosts, version.options, version.x, version.y)))
            return nullptr;
        return &bytes.emplace(version.hosts, version.options, version.x, version.y);
    });
    if (!save.ok)
        throw CliError("Unable to save " + path + ": " + save.error);
    if (!save.backupError.empty())
        services.messages.tell(backupFailureMessage(path, save.backupError));
}

// Loads and saves as the program does, so that the file ends in the
// program's bytes; nothing written when it already is.
int rewriteCommand(const Args& args, Services& services)
{
    // A mistyped name must not become a new, empty catalogue.
    saveUnderLock(services, fileArgument(parseArgs(args), 0), IfMissing::Refuse, KeepWhen::SameBytes,
                  [](CatalogueVersion&) {});
    return 0;
}

// Git's merge driver conventions: %O %A %B, the result over %A, 1 for a
// merge it must not take as clean. Git gives an empty file as the base of
// an add/add; a missing one is read the same way.
int mergeCommand(const Args& args, Services& services)
{
    ParsedArgs parsed = parseArgs(args, {"-o"});
    if (parsed.positional.size() != 3)
        throw CliError("merge needs BASE MINE THEIRS");
    const std::string& minePath = parsed.positional[1];
    CatalogueVersion base =
        versionOf(loadCatalogueFile(services, parsed.positional[0], IfMissing::ReadAsEmpty, {}, ReadLock::None));
    CatalogueVersion mine =
        versionOf(loadCatalogueFile(services, minePath, IfMissing::Refuse, " (MINE)", ReadLock::None));
    CatalogueVersion theirs =
        versionOf(loadCatalogueFile(services, parsed.positional[2], IfMissing::Refuse, " (THEIRS)", ReadLock::None));
    CatalogueMergeResult result = mergeCatalogues(base, mine, theirs);
    auto output = parsed.values.find("-o");
    if (output != parsed.values.end()) {
        // A named output may be a catalogue in use: written as a save is.
        saveUnderLock(services, output->second, IfMissing::ReadAsEmptyQuietly, KeepWhen::SameBytes,
                      [&result](CatalogueVersion& version) { version = std::move(result.merged); });
    } else {
        // Git's own file, which Git alone uses: no lock file, no backup.
        const CatalogueVersion& merged = result.merged;
        CatalogueFormatter bytes(merged.hosts, merged.options, merged.x, merged.y);
        std::string error;
        if (!services.files.replaceAll(minePath, bytes, error))
            throw CliError("Unable to save " + minePath + ": " + error);
    }
    if (result.conflicts.empty())
        return 0;
    std::string titles;
    for (const std::string& title : result.conflicts)
        titles += (titles.empty() ? "" : ", ") + ansiToUtf8(title);
    std::cerr << "quillbank-cli: both versions were kept of: " << titles << '\n';
    return 1;
}

}  // namespace qb::cli
