#pragma once
// TLS for the scripted peer: the server's side of a handshake with the case's certificate
// (maxVersion, e.g. TLS1_1_VERSION, narrows what an old server offers), after which the
// peer's Send and Expect steps go through the session and Received() holds plain text; and
// the TLS end of the stream (close_notify). SendRaw still writes past the session. The
// handshake reads the client's hello itself, so it comes before any step that reads.

#include "support/ScriptedPeer.h"
#include "support/TestAuthority.h"

// False (and the script ends) when the client gave up on the handshake.
TScriptedPeer::TStepFunction TlsHandshake(const TCertificate& cert, int maxVersion = 0);
TScriptedPeer::TStepFunction TlsCloseNotify();
