// The POSIX socket layer's error numbering, for its tests.
#pragma once

// The Winsock number for an errno value, and for a getaddrinfo result with
// the errno that came with it.
int WinsockErrorFromErrno(int error);
int WinsockErrorFromResolver(int result, int systemError);
