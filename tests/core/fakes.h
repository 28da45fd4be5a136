// Stand-ins for the platform interfaces: each records what it was asked.
#pragma once

#include "app/Services.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/FileStore.h"
#include "catalogue/TextRules.h"
#include "import/DirectorySource.h"
#include "launch/HostMenu.h"
#include "launch/RememberedPasswords.h"
#include "launch/RunCommand.h"
#include "launch/WebLink.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qbtest {

struct RecordingWindow final : qb::CatalogueWindow {
    void moveTopLeftTo(int32_t x, int32_t y) override { moves.emplace_back(left = x, top = y); }
    void dropTaskbarButton() override { ++taskbarDrops; }
    void currentTopLeft(int32_t& x, int32_t& y) override { x = left, y = top; }

    std::vector<std::pair<int32_t, int32_t>> moves;
    int taskbarDrops = 0;
    int32_t left = 0;
    int32_t top = 0;
};

// A file: reads back `bytes` (in pieces of `piece` when set); a write becomes them unless `failure` is set.
struct FakeStore final : qb::FileStore {
    qb::ReadStatus status;
    std::string bytes;
    size_t piece = 0;
    int wholeReads = 0;
    std::optional<std::string> failure;
    int writes = 0;
    std::optional<std::string> backup;         // the bytes the last replacing write kept
    std::optional<std::string> backupFailure;  // why a backup cannot be made
    std::optional<std::string> lockFailure;
    std::vector<LockMode> locks;  // every lock taken, in order
    int leftoverSweeps = 0, sweepsUnlocked = 0;

    qb::FileReadResult readAll(const std::string&) override
    {
        ++wholeReads;
        return {status, bytes};
    }
    qb::ReadStatus readChunks(const std::string& path, const std::function<void(std::string_view)>& sink) override
    {
        if (piece == 0)
            return FileStore::readChunks(path, sink);
        for (size_t at = 0; at < bytes.size(); at += piece)
            sink(std::string_view(bytes).substr(at, piece));
        return status;
    }
    bool replace(const std::string&, qb::ByteSource& written, bool keepBackup, std::string& error,
                 std::string& backupError) override
    {
        ++writes;
        if (failure) {
            error = *failure;
            return false;
        }
        const std::optional<std::string> old = status.opened ? std::optional(bytes) : std::nullopt;
        bytes = qb::allBytes(written);
        status = qb::ReadStatus{};
        status.opened = true;
        backupError = old && keepBackup ? backupFailure.value_or("") : "";
        if (old && keepBackup && backupError.empty())
            backup = old;
        return true;
    }
    bool writable(const std::string&, std::string&) override { return true; }
    std::unique_ptr<Lock> lock(const std::string&, LockMode mode, std::string& error) override
    {
        locks.push_back(mode);
        if (lockFailure) {
            error = *lockFailure;
            return nullptr;
        }
        return std::make_unique<Lock>();
    }
    void removeLeftovers(const std::string&) override
    {
        ++leftoverSweeps;
        if (locks.empty() || locks.back() != LockMode::Exclusive)
            ++sweepsUnlocked;
    }
};

// The user's answers, the shell and the registered browser of a launch.
struct FakeLauncher : qb::LaunchPrompts, qb::Shell, qb::BrowserSource {
    std::optional<std::string> input, password;
    bool remember = false;                            // the box as OK leaves it
    std::deque<std::string> laterPasswords;           // typed at the prompts after the first
    std::vector<qb::PasswordPrompt> passwordPrompts;  // how each opened
    std::vector<std::string> events;
    std::optional<qb::ShellCall> call;
    int browserReads = 0;

    bool confirmRun(const std::string& text) override
    {
        events.push_back(text);
        return true;
    }
    std::optional<std::string> askUserInput() override
    {
        events.push_back("User Input");
        return input;
    }
    bool askPassword(const qb::PasswordPrompt& prompt, qb::PasswordAnswer& answer) override
    {
        events.push_back("Password Input");
        passwordPrompts.push_back(prompt);
        if (!password)
            return false;
        answer.text = *password;
        answer.remember = remember;
        if (!laterPasswords.empty()) {
            password = laterPasswords.front();
            laterPasswords.pop_front();
        }
        return true;
    }
    void execute(const qb::ShellCall& c) override { call = c; }
    std::string registeredCommand() override
    {
        ++browserReads;
        return R"("C:\Web\web.exe" "%1")";
    }

    void run(const std::string& program, const std::string& params, bool confirm = false)
    {
        qb::CommandEntry slot;
        slot.program = program;
        slot.params = params;
        slot.confirm = confirm;
        qb::HostItem host;
        host.hostName = "pc1";
        qb::RunCommand(slot, host, *this, *this, *this);
    }
};

// The user's password store, naming as Windows' does (without case, each name
// kept as last written); the places of bare program names (NotFound unless set).
struct FakePasswordMemory final : qb::SecretStore, qb::ProgramFinder {
    std::map<std::string, qb::RememberedPassword> kept;  // by lower-case target
    std::optional<std::string> readFailure, writeFailure;
    std::map<std::string, Place> places;

    Status read(const std::string& target, qb::RememberedPassword& into, std::string& error) override
    {
        if (readFailure) {
            error = *readFailure;
            return Status::Failed;
        }
        const auto found = kept.find(qb::asciiLowered(target));
        if (found == kept.end())
            return Status::NotFound;
        into = found->second;
        return Status::Found;
    }
    bool write(const qb::RememberedPassword& value, std::string& error) override
    {
        if (writeFailure)
            error = *writeFailure;
        else
            kept[qb::asciiLowered(value.target)] = value;
        return !writeFailure;
    }
    bool list(const std::string& prefix, std::vector<qb::RememberedPassword>& found, std::string&) override
    {
        for (const auto& [lowered, value] : kept) {
            if (qb::startsWithIgnoringCase(lowered, prefix))
                found.push_back({value.target, value.binding, ""});
        }
        return true;
    }
    bool remove(const std::string& target, std::string&) override
    {
        kept.erase(qb::asciiLowered(target));
        return true;
    }
    Place find(const std::string& name) override
    {
        const auto found = places.find(name);
        return found == places.end() ? Place::NotFound : found->second;
    }
};

// Nothing here follows a link: each call succeeds and is forgotten.
struct FakeLinkSystem final : qb::LinkSystem {
    int shellOpen(const std::string&, int) override { return 42; }
    bool readClassesRootDefault(const std::string&, std::string&) override { return false; }
    int startProgram(const std::string&, int) override { return 33; }
};

// A directory that answers every search with `answer`, binding in clear or not as set.
struct FakeDirectory final : qb::DirectoryClient {
    bool clear = true;
    Entries answer;
    int searches = 0;

    bool bindsInClear() const override { return clear; }
    Entries searchEntries(const qb::DirectoryAddress&, const qb::DirectoryQuery&, const qb::DirectoryProgress&) override
    {
        ++searches;
        return answer;
    }
};

// Message boxes: what was asked; the answers given in turn, Yes once they run out.
struct FakeMessages final : qb::MessageBoxes {
    std::vector<std::string> asked;
    std::vector<Question> kinds;
    std::deque<Answer> answers;

    void tell(const std::string&) override {}
    Answer ask(const std::string& question, Question kind) override
    {
        asked.push_back(question);
        kinds.push_back(kind);
        if (answers.empty())
            return Answer::Yes;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Nothing kept: every setting reads as never written.
struct FakeSettings final : qb::UserSettings {
    std::optional<std::string> readText(const std::string&) override { return std::nullopt; }
    bool writeText(const std::string&, const std::string&) override { return true; }
    std::map<std::string, uint32_t> numbers;
    std::optional<uint32_t> readNumber(const std::string& name) override
    {
        return numbers.count(name) ? std::optional(numbers.at(name)) : std::nullopt;
    }
    bool writeNumber(const std::string& name, uint32_t value) override
    {
        numbers[name] = value;
        return true;
    }
};

// Every service a fake, handed in as a program's main hands in the real ones.
struct FakeServices {
    FakeStore files;
    FakeLauncher launcher;  // the shell, the prompts and the browser
    FakeDirectory directory;
    FakeLinkSystem links;
    FakeSettings settings;
    FakeMessages messages;
    FakePasswordMemory passwords;
    qb::Services services{files,    launcher, directory, links,     settings,
                          launcher, launcher, messages,  passwords, passwords};
};

}  // namespace qbtest
