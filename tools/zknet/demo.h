// demo.h -- the parts of `zknet demo`, one per family.
#ifndef ZK_TOOLS_DEMO_H
#define ZK_TOOLS_DEMO_H

// Each part prints what it does and returns 0 when every step worked.
int DemoSocket(int argc, char **argv);
int DemoFtp(int argc, char **argv);
int DemoFtps(int argc, char **argv);
int DemoMail(int argc, char **argv);
int DemoMails(int argc, char **argv);
int DemoTelnet(int argc, char **argv);
int DemoNic(int argc, char **argv);

#endif  // ZK_TOOLS_DEMO_H
