// What the platform itself gives a program, made once by its main. The main
// adds what shows things to its user (the shell's owner, prompts, message
// boxes) and hands the whole down as Services.
#pragma once

#include "app/Services.h"
#include "catalogue/FileStore.h"
#include "import/DirectorySource.h"
#include "launch/Browser.h"
#include "launch/WebLink.h"

#include <memory>

namespace qb {

struct SystemServices {
    std::unique_ptr<FileStore> files;
    std::unique_ptr<BrowserSource> browsers;
    std::unique_ptr<DirectoryClient> directory;
    std::unique_ptr<LinkSystem> links;
    std::unique_ptr<UserSettings> settings;
};

SystemServices makeSystemServices();

}  // namespace qb
