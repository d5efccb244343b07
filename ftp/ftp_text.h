// ftp_text.h -- small text steps of the FTP operations; the bounded copies and the line-break test come from the layers below.
#ifndef ZK_FTP_FTP_TEXT_H
#define ZK_FTP_FTP_TEXT_H

#include <cstdint>

#include "proto/command.h"
#include "socket/cut_text.h"
#include "zknet/zkconf.h"

// The text after the first blank of a reply; empty when there is none. Returns its length.
int32_t TextAfterFirstSpaceA(const char *reply, char *out, int32_t size);
int32_t TextAfterFirstSpaceW(const zk_wchar_t *reply, zk_wchar_t *out, int32_t units);

#endif  // ZK_FTP_FTP_TEXT_H
