// The file sources of an import: spreadsheets' CSV, plain host lists, the
// remote desktop manager's .rdg files, the connection manager's XML and .rdp
// files (one, or a folder of them). Each gives its hosts in the file's order,
// text in the ANSI code page.
#pragma once

#include "catalogue/FileStore.h"
#include "catalogue/HostRecords.h"
#include "import/ImportSource.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace qb {

// For what the user must fix (an unreadable file, a kind not known, an
// encrypted file); the message names the file and fits on one line.
class ImportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// "ldap://..." and "ldaps://...": a directory, read by the directory client.
bool isDirectorySource(std::string_view source);

// A folder imports its .rdp files (not its sub-folders') in name order; a
// file is read by the kind its extension names: .csv, .txt, .rdg, .xml, .rdp.
ImportRead readImportFile(const std::string& path, FileStore& store);

// The readers on a file's bytes; name is what origins and messages call it.
ImportRead readCsv(std::string_view bytes, const std::string& name);
ImportRead readHostList(std::string_view bytes, const std::string& name);
ImportRead readRdg(std::string_view bytes, const std::string& name);
ImportRead readConnectionsXml(std::string_view bytes, const std::string& name);
// title is the file's name without ".rdp", in UTF-8.
ImportRead readRdp(std::string_view bytes, const std::string& name, const std::string& title);

// Every host as "title,host,icon,colour" (colour decimal, as the catalogue
// keeps it), UTF-8 with a BOM and CR LF: what readCsv reads back to the
// same hosts.
std::string hostsCsv(const HostCatalogue& hosts);

}  // namespace qb
