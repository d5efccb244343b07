// fuzz_ftp_replies.cpp -- the FTP reply and listing parsers: PASV and EPSV replies, quoted names,
// SIZE and MDTM numbers, listing lines (name field and permission word), and multi-line reply
// framing read from a connection. The first byte chooses the output sizes.
#include "ftp/ftp_data.h"
#include "ftp/ftp_parse.h"
#include "ftp/ftp_remote.h"
#include "ftp/ftp_text.h"
#include "fuzz_case.h"
#include "fuzz_pipe.h"
#include "proto/reply.h"
#include "socket/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (n > 4096 || !ReadFuzzCase(data, n, &c)) return 0;
    const char *text = c.text.get();

    auto host = Exactly<char>(c.size);
    uint32_t port = 0;
    int ok = ParsePassiveV4(text, host.get(), c.size, &port);
    if (ok != 0 && ok != 1) FuzzFail("ParsePassiveV4", ok);
    if (ok == 1 && (port == 0 || port > 65535)) FuzzFail("ParsePassiveV4 port", static_cast<int32_t>(port));
    if (strnlen(host.get(), static_cast<size_t>(c.size)) == static_cast<size_t>(c.size)) FuzzFail("host", 0);
    ok = ParsePassiveV6(text, &port);
    if (ok == 1 && (port == 0 || port > 65535)) FuzzFail("ParsePassiveV6 port", static_cast<int32_t>(port));

    auto name = Exactly<char>(c.size);
    int32_t length = ExtractQuotedNameA(name.get(), text, c.size);
    if (length < -1 || length >= c.size) FuzzFail("ExtractQuotedNameA", length);
    if (length >= 0 && strnlen(name.get(), static_cast<size_t>(c.size)) != static_cast<size_t>(length)) {
        FuzzFail("ExtractQuotedNameA length", length);
    }

    auto after = Exactly<char>(c.size);
    int32_t rest = TextAfterFirstSpaceA(text, after.get(), c.size);
    if (rest < 0 || rest >= c.size) FuzzFail("TextAfterFirstSpaceA", rest);
    uint64_t size = 0;
    (void)ParseFileSize(after.get(), &size);
    (void)ParseSaturatedInt32(after.get());
    FtpFileDate date;
    if (ParseFtpTime(after.get(), &date) && (date.month > 99 || date.second > 99)) FuzzFail("ParseFtpTime", 0);

    uint32_t permission = PermissionFromLine(text);
    if (permission != 0xFFFF && permission > 0x6777) FuzzFail("PermissionFromLine", static_cast<int32_t>(permission));
    size_t offset = 0;
    size_t field = 0;
    if (ListingNameField(text, &offset, &field) && (field == 0 || offset + field > c.length)) {
        FuzzFail("ListingNameField", static_cast<int32_t>(offset));
    }

    // The whole input as what a server sent on the control connection: replies read one after
    // another to their final lines until the input runs out.
    FuzzPipe pipe;
    if (!OpenFuzzPipe(&pipe, data + 2, n - 2) || FuzzTransport(&pipe) == nullptr) return 0;
    auto line = Exactly<char>(c.size);
    for (int replies = 0; replies < 4096; ++replies) {
        int32_t got = ProtoReadReply(pipe.transport, line.get(), c.size, 0, kProtoCodedLines);
        if (got < -1 || got >= c.size) FuzzFail("ProtoReadReply", got);
        if (got < 0) break;
        if (strnlen(line.get(), static_cast<size_t>(c.size)) != static_cast<size_t>(got)) FuzzFail("reply length", got);
    }
    return 0;
}
