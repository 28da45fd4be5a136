// Every block freed while a watch is on is searched for the typed password.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "fakes.h"

namespace {

// Each block carries its size in front, so that delete knows what to search.
constexpr std::size_t kHeader = alignof(std::max_align_t);
static_assert(kHeader >= sizeof(std::size_t));

const char* g_watched = nullptr;
int g_freedWithSecret = 0;

void release(void* p) noexcept
{
    if (!p)
        return;
    auto* block = static_cast<unsigned char*>(p);
    std::size_t size;
    std::memcpy(&size, block - kHeader, sizeof size);
    const std::size_t length = g_watched ? std::strlen(g_watched) : size + 1;
    for (std::size_t i = 0; i + length <= size; ++i) {
        if (std::memcmp(block + i, g_watched, length) == 0) {
            ++g_freedWithSecret;
            break;
        }
    }
    std::free(block - kHeader);
}

}  // namespace

// The array and no-throw forms reach these through the library's own.
void* operator new(std::size_t size)
{
    auto* base = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!base)
        throw std::bad_alloc();
    std::memcpy(base, &size, sizeof size);
    return base + kHeader;
}
void operator delete(void* p) noexcept
{
    release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    release(p);
}

namespace {

// Long enough to live on the heap, not inside a string object.
const char kSecret[] = "S3cret-passphrase-that-is-long";

template <typename Fn>
int freedWithSecretDuring(Fn fn)
{
    g_freedWithSecret = 0;
    g_watched = kSecret;
    fn();
    g_watched = nullptr;
    return g_freedWithSecret;
}

TEST(PasswordWipe, NoFreedBlockHoldsThePassword)
{
    qbtest::FakeLauncher answers;
    answers.input = "an-ordinary-user-name-of-some-length";
    answers.password = kSecret;
    const std::string params = "use \\\\%HOST%\\share /user:??? *** /persistent:no";
    const std::string hostName = "a-host-name-long-enough-for-the-heap";
    EXPECT_EQ(freedWithSecretDuring([&] { answers.run("net.exe", params, false, hostName); }), 0);
    ASSERT_TRUE(answers.call);
    EXPECT_NE(answers.call->parameters.find(kSecret), std::string::npos);
    // Typed with Ctrl held and kept, then passed from the store: the copies on both ways are wiped too.
    qbtest::FakePasswordMemory memory;
    qb::CommandEntry slot;
    slot.name = "Map a drive";
    slot.program = R"(C:\Windows\System32\net.exe)";
    slot.params = params;
    qb::HostItem host;
    host.hostName = hostName;
    for (const bool askAgain : {true, false}) {
        qbtest::FakeLauncher user;
        user.input = answers.input;
        user.password = kSecret;
        user.remember = true;
        qb::PasswordMemory passwords{memory, memory, askAgain};
        EXPECT_EQ(freedWithSecretDuring([&] { qb::RunCommand(slot, host, user, user, user, &passwords); }), 0);
        ASSERT_TRUE(user.call);
        EXPECT_EQ(user.call->parameters, answers.call->parameters);
    }
    EXPECT_EQ(memory.reads, 1);
    // Without this the check above could pass by watching nothing.
    EXPECT_GE(freedWithSecretDuring([] { delete new std::string(std::string("x") + kSecret); }), 1);
}

}  // namespace
