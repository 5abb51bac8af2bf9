#include "platform/Winsock.h"
#include "platform/posix/SocketErrors.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// Messages carry the numbers operators know from Windows. An errno Windows Sockets has no
// number for never passes for one the server acts on: EDEADLK (35) once read as "nothing yet".
TEST(SocketErrors, NumbersAsWindowsSocketsHasThem) {
    const struct {
        int posixError;
        int windowsError;
    } cases[] = {
        {EADDRINUSE, 10048}, {EACCES, 10013},    {EAGAIN, wsock::kErrorWouldBlock},
        {EMFILE, 10024},     {ENFILE, 10024},    {EINTR, wsock::kErrorInterrupted},
        {EDEADLK, 20035},    {EOVERFLOW, 20075},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wsock::ErrorNumberOf(c.posixError), c.windowsError) << c.posixError;
    }
}

}  // namespace
