#pragma once

// How the POSIX socket calls report failure as Windows Sockets numbers; shared with the Linux
// calls that complete them.
namespace wsock {

// The Windows Sockets number for an errno value. One Windows Sockets has no number for is put
// beyond every number it has, so that it is never taken for one the program tells apart.
int ErrorNumberOf(int posixError);
// Keeps errno's number as this thread's last error; returns kSocketError.
int FailWithErrno();

}  // namespace wsock
