// schannel_trust.cpp -- the server certificate checks of the Schannel side, through CryptoAPI's
// chain building and its SSL policy, worded as the OpenSSL side words them.
#include "platform/win32/schannel_trust.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/tls.h"

namespace tls {

namespace {

// The SSL policy's "ignore a name that does not match" check (wininet's SECURITY_FLAG_IGNORE_CERT_CN_INVALID):
// an address is matched against the certificate's address entries by us.
constexpr DWORD kIgnoreName = 0x00001000;

void Explain(char *why, int why_size, const char *text, const char *more = "") {
    if (why != nullptr && why_size > 0) std::snprintf(why, static_cast<size_t>(why_size), "%s%s", text, more);
}

void NotTrusted(char *why, int why_size, const char *reason) {
    if (why != nullptr && why_size > 0) {
        std::snprintf(why, static_cast<size_t>(why_size), "certificate is not trusted (%s)", reason);
    }
}

// Adds one base64 body of a PEM block to the store; false when it is no certificate.
bool AddPemBody(HCERTSTORE store, const char *body, DWORD length) {
    DWORD size = 0;
    if (!CryptStringToBinaryA(body, length, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr) || size == 0) {
        return false;
    }
    BYTE *der = static_cast<BYTE *>(std::malloc(size));
    bool added = der != nullptr &&
                 CryptStringToBinaryA(body, length, CRYPT_STRING_BASE64, der, &size, nullptr, nullptr) &&
                 CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der, size, CERT_STORE_ADD_USE_EXISTING,
                                                  nullptr);
    std::free(der);
    return added;
}

bool HasAddress(PCCERT_CONTEXT certificate, const BYTE *bytes, int length) {
    PCERT_EXTENSION names = CertFindExtension(szOID_SUBJECT_ALT_NAME2, certificate->pCertInfo->cExtension,
                                              certificate->pCertInfo->rgExtension);
    if (names == nullptr) return false;
    CERT_ALT_NAME_INFO *info = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, names->Value.pbData, names->Value.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &info, &size)) {
        return false;
    }
    bool found = false;
    for (DWORD i = 0; i < info->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY &entry = info->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == DWORD(length) &&
                std::memcmp(entry.IPAddress.pbData, bytes, static_cast<size_t>(length)) == 0;
    }
    LocalFree(info);
    return found;
}

// The chain from the server's certificate, built from what the server sent and the CA file's
// certificates; null when none can be built.
PCCERT_CHAIN_CONTEXT BuildChain(const Trust &trust, PCCERT_CONTEXT certificate) {
    HCERTSTORE more = CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr);
    if (more != nullptr) {
        if (certificate->hCertStore != nullptr) CertAddStoreToCollection(more, certificate->hCertStore, 0, 0);
        if (trust.anchors != nullptr) CertAddStoreToCollection(more, trust.anchors, 0, 0);
    }
    LPSTR usage[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof(para);
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = usage;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    BOOL built = CertGetCertificateChain(trust.engine, certificate, nullptr, more != nullptr ? more : certificate->hCertStore,
                                         &para, 0, nullptr, &chain);
    if (more != nullptr) CertCloseStore(more, 0);
    if (!built || chain == nullptr) return nullptr;
    if (chain->cChain == 0 || chain->rgpChain[0]->cElement == 0) {
        CertFreeCertificateChain(chain);
        return nullptr;
    }
    return chain;
}

// Whether the chain ends at one of the CA file's certificates (a whole chain, to its root).
bool EndsAtAnchor(const Trust &trust, PCCERT_CHAIN_CONTEXT chain) {
    if ((chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_PARTIAL_CHAIN) != 0) return false;
    const CERT_SIMPLE_CHAIN *simple = chain->rgpChain[0];
    PCCERT_CONTEXT root = simple->rgpElement[simple->cElement - 1]->pCertContext;
    PCCERT_CONTEXT found = CertFindCertificateInStore(trust.anchors, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr);
    if (found == nullptr) return false;
    CertFreeCertificateContext(found);
    return true;
}

// What makes a chain untrustworthy whatever the SSL policy says (Wine's passes a chain that stops
// short of any root). The validity period is judged later, after the name, as OpenSSL orders it;
// revocation, which nobody asked to check, not at all.
constexpr DWORD kTrustErrors = CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_CYCLIC |
                               CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_NOT_VALID_FOR_USAGE |
                               CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_EXPLICIT_DISTRUST |
                               CERT_TRUST_INVALID_BASIC_CONSTRAINTS | CERT_TRUST_INVALID_EXTENSION |
                               CERT_TRUST_INVALID_POLICY_CONSTRAINTS | CERT_TRUST_INVALID_NAME_CONSTRAINTS |
                               CERT_TRUST_HAS_NOT_PERMITTED_NAME_CONSTRAINT | CERT_TRUST_HAS_EXCLUDED_NAME_CONSTRAINT |
                               CERT_TRUST_HAS_NOT_SUPPORTED_CRITICAL_EXT;

const char *TrustReason(DWORD errors, PCCERT_CHAIN_CONTEXT chain) {
    if (errors & CERT_TRUST_IS_PARTIAL_CHAIN) return "its issuer is not known";
    if (errors & CERT_TRUST_IS_UNTRUSTED_ROOT) {
        return chain->rgpChain[0]->cElement == 1 ? "self-signed certificate" : "its root CA is not trusted";
    }
    if (errors & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return "a signature does not match";
    if (errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return "not for use by a server";
    if (errors & (CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_EXPLICIT_DISTRUST)) return "revoked or distrusted";
    if (errors & CERT_TRUST_INVALID_BASIC_CONSTRAINTS) return "an issuer is no CA";
    return "the chain breaks a rule";
}

// The words for the SSL policy's refusal.
void ExplainPolicy(DWORD error, PCCERT_CHAIN_CONTEXT chain, PCCERT_CONTEXT certificate, const char *host, char *why,
                   int why_size) {
    switch (error) {
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            Explain(why, why_size, "certificate is not for host ", host);
            return;
        case static_cast<DWORD>(CERT_E_EXPIRED):
            Explain(why, why_size, CertVerifyTimeValidity(nullptr, certificate->pCertInfo) < 0
                                       ? "certificate is not valid yet" : "certificate has expired");
            return;
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
            NotTrusted(why, why_size, TrustReason(CERT_TRUST_IS_UNTRUSTED_ROOT, chain));
            return;
        case static_cast<DWORD>(CERT_E_CHAINING):
            NotTrusted(why, why_size, TrustReason(CERT_TRUST_IS_PARTIAL_CHAIN, chain));
            return;
        default: {
            char code[32];
            std::snprintf(code, sizeof(code), "error 0x%08lx", static_cast<unsigned long>(error));
            NotTrusted(why, why_size, code);
        }
    }
}

}  // namespace

bool LoadAnchors(const WCHAR *ca_file, Trust *trust) {
    std::string pem;
    try {
        if (!ReadSmallFile(ca_file, &pem)) return false;
    } catch (const std::bad_alloc &) {  // nothing is thrown across the library's calls
        return false;
    }
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
    if (store == nullptr) return false;
    static const char kBegin[] = "-----BEGIN CERTIFICATE-----";
    static const char kEnd[] = "-----END CERTIFICATE-----";
    int added = 0;
    for (size_t at = pem.find(kBegin); at != std::string::npos; at = pem.find(kBegin, at)) {
        size_t body = at + sizeof(kBegin) - 1;
        size_t end = pem.find(kEnd, body);
        if (end == std::string::npos) break;
        added += AddPemBody(store, pem.data() + body, static_cast<DWORD>(end - body)) ? 1 : 0;
        at = end + sizeof(kEnd) - 1;
    }
    if (added == 0) {
        CertCloseStore(store, 0);
        return false;
    }
    trust->anchors = store;
    // Where the system has it, a chain engine that knows no other root; elsewhere the chain is
    // built as usual and taken only when it ends at one of the file's certificates (below).
    CERT_CHAIN_ENGINE_CONFIG config{};
    config.cbSize = sizeof(config);
    config.hExclusiveRoot = store;
    if (!CertCreateCertificateChainEngine(&config, &trust->engine)) trust->engine = nullptr;
    return true;
}

void ReleaseTrust(Trust *trust) {
    if (trust->engine != nullptr) CertFreeCertificateChainEngine(trust->engine);
    if (trust->anchors != nullptr) CertCloseStore(trust->anchors, 0);
    trust->engine = nullptr;
    trust->anchors = nullptr;
}

bool AddressBytes(const char *host, BYTE *bytes, int *length) {
    if (inet_pton(AF_INET, host, bytes) == 1) {
        *length = 4;
        return true;
    }
    if (inet_pton(AF_INET6, host, bytes) == 1) {
        *length = 16;
        return true;
    }
    return false;
}

bool CheckServerCertificate(const Trust &trust, PCCERT_CONTEXT certificate, const char *host, const WCHAR *name,
                            bool address, char *why, int why_size) {
    PCCERT_CHAIN_CONTEXT chain = BuildChain(trust, certificate);
    if (chain == nullptr) {
        NotTrusted(why, why_size, "no chain can be built for it");
        return false;
    }
    // With a CA file, its CAs alone are trusted: a chain to any other root is refused, even one the
    // system trusts; a chain to one of them is taken although the system does not know it.
    bool anchored = false;
    if (trust.anchors != nullptr) {
        anchored = EndsAtAnchor(trust, chain);
        if (!anchored) {
            CertFreeCertificateChain(chain);
            NotTrusted(why, why_size, "not issued by a CA of the CA file");
            return false;
        }
    }
    DWORD errors = chain->TrustStatus.dwErrorStatus & kTrustErrors & ~(anchored ? CERT_TRUST_IS_UNTRUSTED_ROOT : 0);
    if (errors != 0) {
        NotTrusted(why, why_size, TrustReason(errors, chain));
        CertFreeCertificateChain(chain);
        return false;
    }
    // The name (our own match for an address), then the validity period.
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof(ssl);
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = address ? kIgnoreName : 0;
    ssl.pwszServerName = address ? nullptr : const_cast<WCHAR *>(name);
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof(policy);
    policy.dwFlags = anchored ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof(status);
    DWORD error = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status)
                      ? status.dwError : static_cast<DWORD>(CERT_E_CHAINING);
    if (error == 0 && address) {
        BYTE bytes[16];
        int length = 0;
        if (!AddressBytes(host, bytes, &length) || !HasAddress(certificate, bytes, length)) {
            error = static_cast<DWORD>(CERT_E_CN_NO_MATCH);
        }
    }
    if (error == 0 && (chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_NOT_TIME_VALID) != 0) {
        error = static_cast<DWORD>(CERT_E_EXPIRED);
    }
    if (error != 0) ExplainPolicy(error, chain, certificate, host, why, why_size);
    CertFreeCertificateChain(chain);
    return error == 0;
}

}  // namespace tls
