#include "app/VirtualStore.h"

#include <gtest/gtest.h>

using namespace qb;

TEST(VirtualStore, CopyPathIsTheFolderWithoutItsDriveUnderLocalAppData)
{
    const std::string local = "C:\\Users\\ann\\AppData\\Local";
    // %LOCALAPPDATA%, the program's folder, the copy's path
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {local, "C:\\Program Files (x86)\\Quillbank",
         local + "\\VirtualStore\\Program Files (x86)\\Quillbank\\quillbank.ini"},
        {local + "\\", "d:\\Tools\\", local + "\\VirtualStore\\Tools\\quillbank.ini"},
        {local, "C:\\", local + "\\VirtualStore\\quillbank.ini"},
        // Not redirected, or nowhere to look.
        {local, "\\\\server\\share\\Quillbank", ""},
        {local, "\\\\?\\UNC\\server\\share", ""},
        {local, "C:Quillbank", ""},
        {local, "", ""},
        {"", "C:\\Program Files\\Quillbank", ""},
    };
    for (const auto& [localAppData, folder, copy] : cases)
        EXPECT_EQ(virtualStoreCopyPath(localAppData, folder, "quillbank.ini"), copy) << folder;
}

TEST(VirtualStore, OffersOnlyANewerCopyNotDeclinedBefore)
{
    const std::string path = "L\\VirtualStore\\Q\\quillbank.ini";
    const FileStamp none;
    const FileStamp copy{true, 200, 50};
    const std::string declinedThis = copyMark(path, copy);
    const std::string declinedOther = copyMark("L\\VirtualStore\\R\\quillbank.ini", copy);
    // what, the copy, the file beside the program, declined, offered
    const std::tuple<const char*, FileStamp, FileStamp, std::string, bool> cases[] = {
        {"newer", copy, {true, 100, 50}, "", true},
        {"no local file", copy, none, "", true},
        {"no copy", none, {true, 100, 50}, "", false},
        {"as old", copy, {true, 200, 50}, "", false},
        {"older", copy, {true, 300, 50}, "", false},
        {"declined", copy, {true, 100, 50}, declinedThis, false},
        {"declined, written again since", {true, 201, 50}, {true, 100, 50}, declinedThis, true},
        {"declined, size changed", {true, 200, 51}, {true, 100, 50}, declinedThis, true},
        {"another folder's copy declined", copy, {true, 100, 50}, declinedOther, true},
    };
    for (const auto& [name, copyStamp, local, declined, offered] : cases)
        EXPECT_EQ(shouldOfferCopy(path, copyStamp, local, declined), offered) << name;
}
