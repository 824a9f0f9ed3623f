#include "ctlhelp.h"

#include "app/startarguments.h"

namespace {

const char kOverview[] = "Usage: wizardctl COMMAND [options]\n"
                         "\n"
                         "Configures the wireless device on the local Ethernet segment with the\n"
                         "setup wizard's own protocol and rules, without the wizard's windows.\n"
                         "\n"
                         "Commands:\n"
                         "  discover      list the devices that answer on every adapter\n"
                         "  show          log in and print the whole configuration\n"
                         "  set-ip        dynamic (DHCP) or static IP settings\n"
                         "  set-mode      operating mode: ap (access point) or bridge (AP Client)\n"
                         "  set-wireless  network name, wireless mode and security\n"
                         "  wps           Wi-Fi Protected Setup by push button or PIN\n"
                         "  survey        the wireless networks the device sees\n"
                         "  station-pin   the bridge's own WPS client PIN\n"
                         "  apply         bring every device of a plan (JSON) to its settings\n"
                         "\n"
                         "Options of every command:\n"
                         "  --log FILE    append the wizard's debug log (every packet in clear) to FILE\n"
                         "  --help        help of the command\n"
                         "\n"
                         "  wizardctl --help     this text\n"
                         "  wizardctl --version  the version\n"
                         "\n"
                         "The password of a device command (the factory password unless given) is\n"
                         "best not given with --password PW: every user of this computer can read a\n"
                         "command line in the process list. Give --password-file FILE or --password -\n"
                         "(standard input), or set the environment variable WIZARDCTL_PASSWORD.\n"
                         "\n"
                         "A request that gets no answer is sent again every second until it is\n"
                         "answered or the wizard's wait for it runs out (5 s for a login, 15 s for\n"
                         "a configuration read, 28 or 32 s for a write); discovery broadcasts again\n"
                         "within its time. A refused login is never repeated; a site survey and a\n"
                         "WPS request, which the device takes a while to carry out, get the whole\n"
                         "wait at once.\n"
                         "\n"
                         "Exit codes:\n"
                         "  0  done; a write was read back and the device holds the values (verified),\n"
                         "     or nothing needed writing\n"
                         "  1  bad command line or invalid input; nothing was sent\n"
                         "  2  no usable adapter, no device answered, or the MAC was not found\n"
                         "  3  written, but the device answered the read-back with other values\n"
                         "     (not verified)\n"
                         "  4  the device did not answer (a login included), or refused the request\n"
                         "  5  the device refused the login (wrong password?)\n"
                         "  6  WPS was started but did not succeed\n"
                         "  7  written, but the device did not answer the read-back: its state is\n"
                         "     unknown\n"
                         "  8  apply, show --all: Ctrl-C stopped the run before every device was\n"
                         "     done (the writes in flight were finished and verified)\n";

const char kDeviceOptions[] = "  --mac MAC          the device (as listed by discover), required\n"
                              "  --password PW      login password, at most 16 characters (default:\n"
                              "                     WIZARDCTL_PASSWORD, else the factory password);\n"
                              "                     \"-\" reads the first line of standard input. A\n"
                              "                     password on the command line can be read by every\n"
                              "                     user in the process list: prefer \"-\", the file\n"
                              "                     or the environment variable\n"
                              "  --password-file FILE\n"
                              "                     the password: the first line of FILE\n";

const char kWriteNote[] = "A write whose answer is lost is checked by reading the configuration back;\n"
                          "it is sent again only when the device does not hold the values. When the\n"
                          "write and the read stay unanswered, or the device ended the login, there\n"
                          "is one fresh login (after the logout's answer) and one more try. Then the\n"
                          "configuration is read back and compared: \"verified\" (exit 0), \"not\n"
                          "verified\" (exit 3: other values) or \"state unknown\" (exit 7: no\n"
                          "answer).\n";

QString CommandHelp(const QString &command)
{
    QString text;
    if (command == u"discover") {
        text = "Usage: wizardctl discover [--wait MS] [--count N] [--json]\n\n"
               "Broadcasts a discovery request on every adapter and lists each device that\n"
               "answers: name, MAC, device address and the local adapter address the answer\n"
               "came through. Exit 2 when nothing answers, with every interface of this\n"
               "computer (used, or skipped and why) and how to open UDP port 5433.\n\n"
               "  --wait MS   how long to collect answers (default 4000); the request is\n"
               "              broadcast again every second within that time\n"
               "  --count N   stop as soon as N devices answered\n"
               "  --json      one JSON object: {\"adapters\": [...], \"devices\": [...]}, with\n"
               "              \"error\", \"interfaces\" and \"hint\" when nothing answered\n";
    } else if (command == u"show") {
        text = QString("Usage: wizardctl show --mac MAC [--password PW] [--json]\n"
                       "       wizardctl show --all --json [--password PW]\n\n"
                       "Logs in and prints the device's whole configuration with the display names\n"
                       "of its values (JSON keeps both the codes and the names).\n\n") +
               kDeviceOptions +
               "  --json             one JSON object\n"
               "  --all              every device that answers, one JSON array: a plan for\n"
               "                     wizardctl apply (keys and passphrases are never read)\n";
    } else if (command == u"set-ip") {
        text = QString("Usage: wizardctl set-ip --mac MAC (--dhcp | --ip A [--mask M] [--gateway G])\n\n"
                       "Writes the device's IP settings. Static values follow the wizard's rules: a\n"
                       "unicast address that is not the PC's own, a contiguous mask (proposed from\n"
                       "the address class when left out), a gateway in the same subnet or none.\n"
                       "An address ending in .255 is corrected to .254, as in the wizard. Values\n"
                       "the device already holds are not written again.\n\n") +
               kDeviceOptions +
               "  --dhcp             obtain the address automatically\n"
               "  --ip A --mask M    static address and mask\n"
               "  --gateway G        default gateway (optional)\n\n" +
               kWriteNote;
    } else if (command == u"set-mode") {
        text = QString("Usage: wizardctl set-mode --mac MAC ap|bridge\n\n"
                       "Switches the operating mode: ap (access point) or bridge (AP Client).\n\n") +
               kDeviceOptions + "\n" + kWriteNote;
    } else if (command == u"set-wireless") {
        text = QString("Usage: wizardctl set-wireless --mac MAC (--ssid S | --ssid-hex HEX)\n"
                       "         [--mode CODE] [--security none|wep|wpa-psk]\n"
                       "         [--wep-length 64|128 --key K --auth open|shared|auto]\n"
                       "         [--wpa-mode wpa|wpa2|auto --passphrase P]\n\n"
                       "Writes the access point's network (access-point mode) or the upstream\n"
                       "network to join (bridge mode). The channel is left to the device.\n\n") +
               kDeviceOptions +
               "  --ssid S           network name, 1 to 32 bytes as UTF-8\n"
               "  --ssid-hex HEX     the network name's bytes in hex (e.g. 436166E92DFF),\n"
               "                     for names that are not UTF-8; no 00 byte\n"
               "  --mode CODE        wireless mode 0-9 (default 9, b/g/n mixed):\n"
               "                     0 b/g, 1 b, 2 a, 3 a/b/g, 4 g, 5 a/b/g/n, 6 n, 7 g/n,\n"
               "                     8 a/n, 9 b/g/n\n"
               "  --security S       none (default), wep or wpa-psk\n"
               "  --wep-length L     64 (default) or 128\n"
               "  --key K            WEP key: 5 or 13 characters, or 10 or 26 hex digits\n"
               "  --auth A           open, shared or auto (default auto on an access point,\n"
               "                     open on a bridge; a bridge takes open or shared only)\n"
               "  --wpa-mode M       wpa (TKIP), wpa2 (AES) or auto (TKIP and AES, default)\n"
               "  --passphrase P     8 to 63 characters, or 64 hex digits\n\n" +
               kWriteNote;
    } else if (command == u"wps") {
        text = QString("Usage: wizardctl wps --mac MAC\n"
                       "         (--pbc | --pin NNNNNNNN | --ssid S | --ssid-hex HEX)\n\n"
                       "Starts Wi-Fi Protected Setup and follows the device's status reports to\n"
                       "success or failure (at most 3 minutes).\n\n") +
               kDeviceOptions +
               "  --pbc              push-button method (either mode)\n"
               "  --pin NNNNNNNN     access point: the 8-digit PIN of the station to admit\n"
               "  --ssid S           bridge: the access point to join by PIN; enter the\n"
               "                     device's own PIN (printed) at that access point\n"
               "  --ssid-hex HEX     the same, the name's bytes in hex\n\n"
               "Exit 6 when the device reports a failure or the time runs out.\n";
    } else if (command == u"survey") {
        text = QString("Usage: wizardctl survey --mac MAC [--wps-only] [--json]\n\n"
                       "Lists the wireless networks the device sees, strongest first.\n\n") +
               kDeviceOptions +
               "  --wps-only         only networks that offer WPS\n"
               "  --json             a JSON array\n";
    } else if (command == u"station-pin") {
        text = QString("Usage: wizardctl station-pin --mac MAC\n\n"
                       "Prints the bridge's own WPS client PIN.\n\n") +
               kDeviceOptions;
    } else if (command == u"apply") {
        text = QString("Usage: wizardctl apply PLAN.json [--dry-run] [--jobs N] [--json]\n"
                       "         [--password PW | --password - | --password-file FILE]\n\n"
                       "Brings every device of the plan to the settings its entry gives. A plan is\n"
                       "what show --json prints (one object) or show --all --json (an array); each\n"
                       "entry chooses its device by device.mac, else by device.name when that name\n"
                       "is unique, and may give password, deviceMode, ip and wireless (with key or\n"
                       "passphrase). Every value is checked with the wizard's rules first: a plan\n"
                       "with a fault sends nothing and names each fault with its line and key.\n"
                       "Per device the configuration is read and only what differs is written, in\n"
                       "the wizard's order (mode, IP, wireless), each verified by its read-back.\n"
                       "Keys and passphrases are never reported, so the wireless settings are\n"
                       "unchanged when every field the device reports matches.\n\n"
                       "  --dry-run          log in and read, print what would change; write nothing\n"
                       "  --jobs N           devices at once, 1 to 64 (default 8)\n"
                       "  --json             the results as one JSON report\n"
                       "  --password PW      the password of entries without one (as for the other\n"
                       "                     commands: WIZARDCTL_PASSWORD, \"-\" for standard input)\n"
                       "  --password-file FILE\n\n"
                       "The devices run in parallel, logging in one at a time; the progress goes\n"
                       "to standard error (on a terminal one line per device, updated in place).\n"
                       "Ctrl-C starts no further write: the writes in flight finish and are read\n"
                       "back. The results: per device unchanged, verified, stopped or the failure,\n"
                       "what changed and the time. Exit 0 when every device is verified or\n"
                       "unchanged; 8 when Ctrl-C stopped a device; otherwise the exit code of the\n"
                       "first device in the plan's order that failed.\n");
    } else {
        return QString::fromLatin1(kOverview);
    }
    return text + "  --log FILE         append the debug log to FILE\n";
}

} // namespace

QString HelpText(const QString &command)
{
    return CommandHelp(command);
}

QString VersionText()
{
    return QStringLiteral("wizardctl %1\n").arg(ProgramVersion());
}
