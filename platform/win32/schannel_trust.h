// schannel_trust.h -- the server certificate checks of the Schannel side, done by us after the
// handshake (Schannel is told to leave them alone): the chain to a trusted root (the system's, or
// exactly a PEM file's CAs), the name or address, the validity period.
#ifndef ZK_PLATFORM_WIN32_SCHANNEL_TRUST_H
#define ZK_PLATFORM_WIN32_SCHANNEL_TRUST_H

#include "platform/platform.h"

#include <wincrypt.h>

namespace tls {

// What a server's certificate is checked against; shared, read-only, by the sessions resumed from
// the one that made it.
struct Trust {
    HCERTSTORE anchors;       // the CA file's certificates; null: the system's trust
    HCERTCHAINENGINE engine;  // a chain engine trusting the anchors alone; null where there is none
};

// Reads the PEM file's certificates as the only trusted CAs; false when none can be read.
bool LoadAnchors(const WCHAR *ca_file, Trust *trust);
void ReleaseTrust(Trust *trust);

// Checks the server's certificate for `host` (the caller's text, a name or an address). True when
// it passes; else `why` says why ("certificate is not for host zknet-test").
bool CheckServerCertificate(const Trust &trust, PCCERT_CONTEXT certificate, const char *host, const WCHAR *name,
                            bool address, char *why, int why_size);

// Whether the host text is an address (IPv4 or IPv6), and its bytes (4 or 16).
bool AddressBytes(const char *host, BYTE *bytes, int *length);

}  // namespace tls

#endif  // ZK_PLATFORM_WIN32_SCHANNEL_TRUST_H
