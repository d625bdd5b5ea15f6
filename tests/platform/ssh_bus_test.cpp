// How a remote computer's bus is reached: the ssh command and the bus address that runs it.
#include "ssh_bus.h"

#include <gtest/gtest.h>

namespace {

TEST(SshBus, TheUsersOptionsComeBeforeTheDefaultsAndTheHostIsNeverAnOption) {
    const QStringList argv = SshBridgeCommand(
        {QStringLiteral("-oProxyCommand=x"), {QStringLiteral("Port=2222")}, QString()});
    ASSERT_GE(argv.size(), 8);
    EXPECT_EQ(argv.mid(0, 4), (QStringList{QStringLiteral("ssh"), QStringLiteral("-xT"),
                                           QStringLiteral("-o"), QStringLiteral("Port=2222")}));
    EXPECT_TRUE(argv.contains(QStringLiteral("BatchMode=yes")));
    EXPECT_EQ(argv.mid(argv.size() - 4),
              (QStringList{QStringLiteral("--"), QStringLiteral("-oProxyCommand=x"),
                           QStringLiteral("systemd-stdio-bridge"), QStringLiteral("--user")}));
}

TEST(SshBus, TheRemoteShellGetsTheBusPathAsOneWord) {
    const QStringList argv = SshBridgeCommand(
        {QStringLiteral("lab"), {}, QStringLiteral("unix:path=/tmp/a b/it's,guid=1")});
    EXPECT_EQ(argv.last(), QStringLiteral("'--bus-path=unix:path=/tmp/a b/it'\\''s,guid=1'"));
    EXPECT_EQ(
        SshBridgeCommand({QStringLiteral("lab"), {}, QStringLiteral("unix:path=/run/b")}).last(),
        QStringLiteral("--bus-path=unix:path=/run/b"));
}

TEST(SshBus, AddressValuesEscapeEveryByteOutsideTheOptionallyEscapedSet) {
    EXPECT_EQ(EscapeBusAddressValue(QStringLiteral("-_/.\\*azAZ09")),
              QStringLiteral("-_/.\\*azAZ09"));
    EXPECT_EQ(EscapeBusAddressValue(QStringLiteral("me@lab,x=1;y:%\u00e9 ")),
              QStringLiteral("me%40lab%2cx%3d1%3by%3a%25%c3%a9%20"));
    EXPECT_EQ(UnixexecAddress({QStringLiteral("ssh"), QStringLiteral("me@lab")},
                              QStringLiteral("/tmp/e")),
              QStringLiteral(
                  "unixexec:path=/bin/sh,argv0=sh,argv1=-c,argv2=e%3d%241%3b%20shift%3b%20"
                  "echo%20%24%24%20%3e%22%24e.pid%22%3b%20exec%20%22%24%40%22%202%3e%22%24e%22,"
                  "argv3=sh,argv4=/tmp/e,"
                  "argv5=ssh,argv6=me%40lab"));
}

} // namespace
