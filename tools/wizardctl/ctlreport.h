#pragma once
// How wizardctl shows what it found: the readable rows and the JSON forms of
// devices, settings and networks, and, when nothing answered, the
// explanation of every interface of the computer and of the firewall.

#include "ctloptions.h"

#include "app/devicestate.h"
#include "app/settingkeys.h"

#include <QJsonObject>
#include <QTextStream>
#include <vector>

class TFormUDP;

// What a DebugPrint needs from a text.
QByteArray Local(const QString &text);

// A message of section "Message" with its key ("... [ER_CONNECT]").
QString MessageOf(const TextKey &key);
// A refused input: logged and explained; CTL_EXIT_INVALID.
int Invalid(QTextStream &err, const TextKey &key, const QString &what);

// A network name's bytes as upper-case hex digits, the form --ssid-hex takes.
QString HexOf(const QByteArray &bytes);
QString SsidOption(const CtlOptions &o);
QJsonObject Coded(int code, const QString &name);
QString DeviceModeName(int mode);
QString IpModeName(int mode); // "DHCP" or "Static"
std::vector<int> Channels(const WlConfigRecord &wl);

void Row(QTextStream &out, const QString &caption, const QString &value);
// The readable part of the wireless settings, as the device reports them.
void PrintWireless(QTextStream &out, const WlConfigRecord &wl);
void PrintIp(QTextStream &out, const IpConfigRecord &ip);
void PrintJson(QTextStream &out, const QJsonDocument &doc);
QJsonObject DeviceJson(const DeviceRecord &d);
// The device and what the state holds as read from it.
QJsonObject ConfigJson(const DeviceRecord &device, const DeviceState &state);

// Why nothing answered: every interface of the computer, used or skipped
// with the reason, then where a firewall must open. With --json the same
// facts go to standard output as one object (with `extra` keys merged in).
void ExplainSilence(const TFormUDP &engine, const CtlOptions &o, QTextStream &out, QTextStream &err,
                    const QJsonObject &extra = {});
