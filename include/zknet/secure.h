/* secure.h -- the security choices shared by the families' secure connects (ZK_FtpConnectSecureA/W,
   ZK_MailConnectSmtpSecureA/W, ZK_MailConnectPop3SecureA/W): none, TLS after a plain start, or TLS
   from the first byte, with flags. */
#ifndef ZKNET_SECURE_H
#define ZKNET_SECURE_H

#include "zkconf.h"

/* The security of a connection: one of the three, with any flags added. */
#define ZK_SECURE_NONE      0      /* plain text, as the plain connects */
#define ZK_SECURE_EXPLICIT  1      /* a plain start, then TLS on the server's word; required */
#define ZK_SECURE_IMPLICIT  2      /* TLS from the first byte (FTPS 990, SMTPS 465, POP3S 995) */

/* DANGEROUS: takes any certificate, so anyone between the caller and the server can read and
   change everything, passwords included. For test servers with self-signed certificates only. */
#define ZK_SECURE_NO_VERIFY 0x100

/* Mail: the password is an OAuth 2.0 access token the caller obtained, sent with SASL
   OAUTHBEARER where the server offers it, else XOAUTH2. */
#define ZK_SECURE_XOAUTH2   0x200

/* Mail: lets SMTP AUTH (and a POP3 token) go over a connection that is not encrypted. Without it
   such a login fails before anything is sent. Passwords then cross the network readable. */
#define ZK_SECURE_ALLOW_PLAIN_AUTH 0x400

#endif /* ZKNET_SECURE_H */
