// send.cpp -- the three sending operations: one platform send each, its result unchanged.
#include <cstring>

#include "socket/socket_handle.h"

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketSend(SocketHandle *handle, const void *data, int32_t length) {
    if (handle == nullptr || length < 0 || (data == nullptr && length > 0)) return FailInvalid(-1);
    return win::send(handle->socket, static_cast<const char *>(data), length, 0);
}

ZK_EXPORT int32_t ZK_API ZK_SocketSendOne(SocketHandle *handle, int32_t byte) {
    if (handle == nullptr) return FailInvalid(-1);
    char one = static_cast<char>(byte & 0xFF);
    return win::send(handle->socket, &one, 1, 0);
}

ZK_EXPORT int32_t ZK_API ZK_SocketSendString(SocketHandle *handle, const char *text) {
    if (handle == nullptr || text == nullptr) return FailInvalid(-1);
    size_t length = std::strlen(text);
    if (length == 0) return -1;
    if (length > 0x7FFFFFFF) return FailInvalid(-1);
    return win::send(handle->socket, text, static_cast<int>(length), 0);
}

}  // extern "C"
