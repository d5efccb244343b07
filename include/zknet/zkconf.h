/* zkconf.h -- export macros and the basic types shared by every zknet header. */
#ifndef ZKNET_ZKCONF_H
#define ZKNET_ZKCONF_H

#include <stdint.h>

/* The library's version: the text, and a number that grows with it (0xMmpt: major, minor, patch,
   tweak), for callers that test it at compile time. */
#define ZKNET_VERSION "1.0.0"
#define ZKNET_VERNUM 0x1000
#define ZKNET_VER_MAJOR 1
#define ZKNET_VER_MINOR 0
#define ZKNET_VER_PATCH 0

/* ZK_EXPORT makes a function visible outside the library; on Windows the .def file names the
   exports instead, so it expands to nothing there. */
#if defined(ZK_BUILDING_LIBRARY) && !defined(_WIN32) && defined(__GNUC__)
#  define ZK_EXPORT __attribute__((visibility("default")))
#else
#  define ZK_EXPORT
#endif

/* ZK_API is the calling convention of every exported function: stdcall on 32-bit Windows,
   the platform's default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#  define ZK_API __stdcall
#else
#  define ZK_API
#endif

#ifdef __cplusplus
#  define ZK_EXTERN_C_BEGIN extern "C" {
#  define ZK_EXTERN_C_END }
#else
#  define ZK_EXTERN_C_BEGIN
#  define ZK_EXTERN_C_END
#endif

/* One UTF-16 code unit: wchar_t on Windows, char16_t elsewhere. */
#if defined(_WIN32)
#  include <wchar.h>
typedef wchar_t zk_wchar_t;
#elif defined(__cplusplus)
typedef char16_t zk_wchar_t;
#else
#  include <uchar.h>
typedef char16_t zk_wchar_t;
#endif

#endif /* ZKNET_ZKCONF_H */
