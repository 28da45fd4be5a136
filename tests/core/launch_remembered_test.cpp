#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "fakes.h"

namespace {

using Place = qb::ProgramFinder::Place;

constexpr std::string_view kSecret = "S3cret-passphrase-too-long-for-a-string-object";
int watched = -1;  // freed blocks that held kSecret (operator delete below); -1 while no watch is on

template <typename Fn>
int freedWithSecretDuring(Fn fn)
{
    watched = 0;
    fn();
    return std::exchange(watched, -1);
}

// Escaped so that no pair of names gives another pair's target, and none holds a wildcard.
TEST(RememberedTarget, EscapesSlashPercentAndStarAndSplitsBack)
{
    const std::array<const char*, 3> cases[] = {
        {"pc1", "Login", "Quillbank/pc1/Login"},
        {"a/b", "c", "Quillbank/a%2Fb/c"},
        {"*", "50%", "Quillbank/%2A/50%25"},
        {"%2F", "", "Quillbank/%252F/"},
    };
    for (auto [hostName, entryName, target] : cases) {
        EXPECT_EQ(qb::rememberedTarget(hostName, entryName), target);
        std::string host, entry;
        ASSERT_TRUE(qb::splitRememberedTarget(target, host, entry)) << target;
        EXPECT_EQ(host + "|" + entry, std::string(hostName) + "|" + entryName);
    }
    std::string host, entry;
    for (const char* foreign : {"Other/pc1/x", "Quillbank/pc1", "Quillbank/a/b/c", "Quillbank/a%2/b"})
        EXPECT_FALSE(qb::splitRememberedTarget(foreign, host, entry)) << foreign;
}

const std::string kProgram = R"(C:\Tools\plink.exe)";

struct Launch {
    qb::EntryKind kind = qb::CustomCommand;
    std::string name = "Login", program = kProgram, params = "-pw *** -h %HOST%", host = "pc1";
    std::optional<std::string> input;
    Place place = Place::NotFound;  // where the shell finds a bare program name
    bool askAgain = false;

    template <typename Field, typename Value>
    Launch with(Field Launch::*field, Value value) const
    {
        Launch copy = *this;
        copy.*field = std::move(value);
        return copy;
    }
    Launch found(Place where) const { return with(&Launch::program, "plink.exe").with(&Launch::place, where); }
};

// The prompts as they opened: "plain", "offered" (the box), "checked", with the notice after a slash.
std::string promptsOf(const qbtest::FakeLauncher& user)
{
    std::string shown;
    for (const qb::PasswordPrompt& prompt : user.passwordPrompts) {
        shown += shown.empty() ? "" : "; ";
        shown += !prompt.offerToRemember ? "plain" : prompt.rememberChecked ? "checked" : "offered";
        shown += prompt.notice.empty() ? "" : " / " + prompt.notice;
    }
    return shown;
}

struct Remembering {
    qbtest::FakePasswordMemory memory;

    // The launch with the user's answers; returns what it had to tell.
    std::string run(const Launch& launch, qbtest::FakeLauncher& user)
    {
        qb::CommandEntry slot;
        slot.kind = launch.kind;
        slot.name = launch.name;
        slot.program = launch.program;
        slot.params = launch.params;
        qb::HostItem host;
        host.hostName = launch.host;
        memory.places["plink.exe"] = launch.place;
        user.input = launch.input;
        qb::PasswordMemory passwords{memory, memory, launch.askAgain};
        return qb::RunCommand(slot, host, user, user, user, &passwords);
    }
    // A first launch that typed "kept" with the box checked.
    void keep(const Launch& launch)
    {
        qbtest::FakeLauncher user;
        user.password = "kept";
        user.remember = true;
        run(launch, user);
    }
    std::optional<std::string> keptFor(const Launch& launch)
    {
        qb::RememberedPassword kept;
        std::string error;
        if (memory.read(qb::rememberedTarget(launch.host, launch.name), kept, error) != qb::SecretStore::Status::Found)
            return std::nullopt;
        return kept.secret;
    }
};

const std::string kChanged = std::string(" / ") + qb::kCommandChangedNotice;

// A remembered password is used only where it was typed for; anything else asks, and only OK with the box
// checked keeps (or replaces) one.
TEST(RememberedPasswords, UsedOnlyWhereTheirBindingHolds)
{
    const Launch base;
    const Launch asking = base.with(&Launch::params, "-u ??? -pw ***").with(&Launch::input, "me");
    const Launch plain = base.with(&Launch::params, "-pw ***");
    const Launch relative = base.with(&Launch::program, R"(tools\plink.exe)");
    const Launch typedIn = asking.with(&Launch::params, "-u ???").with(&Launch::input, "a***");
    const std::string longest(qb::kLongestRememberedPassword, 'x');
    const struct {
        const char* what;
        std::optional<Launch> before;  // kept first
        Launch now;
        std::optional<std::string> typed;  // nullopt: Cancel
        bool checked;
        std::string prompts;
        std::optional<std::string> started, keptAfter;
    } cases[] = {
        {"none kept", {}, base, "typed", true, "offered", "-pw typed -h pc1", "typed"},
        {"a matching one", base, base, "typed", true, "", "-pw kept -h pc1", "kept"},
        {"host name in other case", plain, plain.with(&Launch::host, "PC1"), "", false, "", "-pw kept", "kept"},
        {"changed program", base, base.with(&Launch::program, R"(C:\Other\plink.exe)"), "typed", false,
         "offered" + kChanged, "-pw typed -h pc1", "kept"},
        {"changed parameters, bound again", base, base.with(&Launch::params, "-pw *** -h %HOST% -v"), "new", true,
         "offered" + kChanged, "-pw new -h pc1 -v", "new"},
        {"changed answer", asking, asking.with(&Launch::input, "you"), "typed", false, "offered" + kChanged,
         "-u you -pw typed", "kept"},
        {"*** from the answer", {}, typedIn, "typed", true, "plain", "-u atyped", {}},
        {"bare name found outside the folder", base.found(Place::Elsewhere), base.found(Place::Elsewhere), "", false,
         "", "-pw kept -h pc1", "kept"},
        {"bare name in the catalogue's folder", base.found(Place::Elsewhere), base.found(Place::WorkingFolder), "typed",
         true, "plain", "-pw typed -h pc1", "kept"},
        {"relative path", {}, relative, "typed", true, "plain", "-pw typed -h pc1", {}},
        {"Ctrl held", base, base.with(&Launch::askAgain, true), "again", true, "checked", "-pw again -h pc1", "again"},
        {"Ctrl held, Cancel", base, base.with(&Launch::askAgain, true), {}, true, "checked", {}, "kept"},
        {"URL entry", {}, base.with(&Launch::kind, qb::Url), "typed", true, "plain", "-pw typed -h pc1", {}},
        {"the longest kept", {}, base, longest, true, "offered", "-pw " + longest + " -h pc1", longest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Remembering r;
        if (c.before)
            r.keep(*c.before);
        qbtest::FakeLauncher user;
        user.password = c.typed;
        user.remember = c.checked;
        EXPECT_EQ(r.run(c.now, user), "");
        EXPECT_EQ(promptsOf(user), c.prompts);
        EXPECT_EQ(user.call ? std::optional(user.call->parameters) : std::nullopt, c.started);
        EXPECT_EQ(r.keptFor(c.now), c.keptAfter);
    }
}

// Too long to keep: asked again, saying why, with the box still checked. A failing store lets the launch go on
// with the typed password and is told once.
TEST(RememberedPasswords, TooLongIsAskedAgainAndAFailingStoreIsToldOnce)
{
    Remembering r;
    qbtest::FakeLauncher user;
    user.password = std::string(qb::kLongestRememberedPassword + 1, 'x');
    user.laterPasswords = {"short"};
    user.remember = true;
    EXPECT_EQ(r.run(Launch(), user), "");
    EXPECT_EQ(promptsOf(user), std::string("offered; checked / ") + qb::kTooLongNotice);
    EXPECT_EQ(r.keptFor(Launch()), "short");

    Remembering failing;
    failing.memory.readFailure = "Access is denied";
    failing.memory.writeFailure = "The parameter is incorrect";
    qbtest::FakeLauncher typing;
    typing.password = "typed";
    typing.remember = true;
    EXPECT_EQ(failing.run(Launch(), typing), "Unable to remember the password: Access is denied");
    ASSERT_TRUE(typing.call);
    EXPECT_EQ(typing.call->parameters, "-pw typed -h pc1");
    failing.memory.readFailure.reset();
    EXPECT_EQ(failing.run(Launch(), typing), "Unable to remember the password: The parameter is incorrect");
}

// Typed plain; typed with the box checked and Ctrl held (asked again, kept); passed from the store: every copy of
// the password is wiped before its memory goes back.
TEST(RememberedPasswords, NoFreedBlockHoldsThePassword)
{
    Remembering r;
    const Launch launch = Launch().with(&Launch::params, "-u ??? -pw *** -h %HOST%").with(&Launch::input, "me");
    for (const int way : {0, 1, 2}) {
        qbtest::FakeLauncher user;
        user.input = launch.input;
        user.password = std::string(kSecret);
        user.remember = true;
        const auto launchOnce = [&] {
            if (way == 0)
                user.run(kProgram, launch.params);
            else
                r.run(launch.with(&Launch::askAgain, way == 1), user);
        };
        EXPECT_EQ(freedWithSecretDuring(launchOnce), 0) << way;
        ASSERT_TRUE(user.call);
        EXPECT_EQ(user.call->parameters, "-u me -pw " + *user.password + " -h pc1");
        EXPECT_EQ(user.passwordPrompts.size(), way == 2 ? 0u : 1u) << "asked for the password";
    }
    // Without this the checks above could pass by watching nothing.
    EXPECT_GE(freedWithSecretDuring([] { delete new std::string(std::string("x") + kSecret.data()); }), 1);
}

}  // namespace

// Each block carries its size in front, so that delete can search what it frees. The array, sized and no-throw
// forms reach these two through the library's own.
#pragma GCC diagnostic ignored "-Wsized-deallocation"
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* operator new(std::size_t size)
{
    char* base = static_cast<char*>(std::malloc(size + kHeader));
    if (!base)
        throw std::bad_alloc();
    std::memcpy(base, &size, sizeof size);
    return base + kHeader;
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    char* base = static_cast<char*>(p) - kHeader;
    std::size_t size;
    std::memcpy(&size, base, sizeof size);
    watched += watched >= 0 && std::string_view(base + kHeader, size).find(kSecret) != std::string_view::npos;
    std::free(base);
}
