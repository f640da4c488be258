#pragma once
// The listening end that every scripted peer and test server starts from.

// Opens a TCP socket on 127.0.0.1 at a port the kernel chooses, so tests never collide
// on a fixed port, and stores that port. With a backlog above 0 the socket listens;
// with 0 it is only bound (a port that refuses connections, or one to hand to a server).
// Returns the descriptor, or -1 when any step failed.
int OpenLoopbackSocket(int& port, int backlog = 1);
