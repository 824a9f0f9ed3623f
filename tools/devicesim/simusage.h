#pragma once
// The --help text of devicesim, kept as it is printed: the manual page is
// made from it, and the lab's scripts and tests refer to its keys.

inline constexpr char kUsageText[] = R"(Usage: devicesim [options]

A simulated device for the setup wizard's UDP protocol. It listens on UDP
port 5432 of every usable interface (up, broadcast, not loopback) of its
network namespace and answers as the device does: discovery, login, logout,
configuration read and write, operating mode, WPS with status events, the
bridge's client PIN and the site survey. Run it only inside the network lab
(scripts/lab), never on a machine's real interfaces.

With no device options it plays one access point "AP-0001",
MAC 02:00:4C:00:00:01, password "tulip" (the factory password).

Options:
  --device SPEC       add a device; SPEC is "key=value,key=value,flag" (keys
                     below). Repeat for several devices in one process.
  --config FILE      JSON file: {"reply": "broadcast"|"unicast",
                     "interfaces": ["dev0"], "devices": [{key: value...}]}
                     (survey networks as an array of objects with ssid or
                     ssid-hex, bssid, signal, channel, encryption,
                     authentication, status, wps, flag).
  --reply MODE       broadcast (default): answer to 255.255.255.255:5433 out
                     of the interface the request came in on; unicast: answer
                     to the sender's address and port (a request from
                     0.0.0.0, a PC link without an address, is still
                     answered by broadcast).
  --iface NAME       listen only on this interface (repeatable).
  --state-file PATH  rewrite PATH with every device's state as JSON after
                     every change (login, writes, WPS runs, request counts).
  --ready-file PATH  create PATH once the sockets are open.
  --verbose          one line per datagram on standard error.
  --help             this text.

Device keys:
  mac=02:00:4C:00:00:01  name=AP-0001  password=tulip  mode=ap|bridge
  iface=dev0+dev1        attach to these interfaces only (default all)
  port=N                 name device port N in the login answer and listen
                         on it too
  ip=A.B.C.D netmask=... gateway=... dhcp=0|1   the device's IP settings
  wl-KEY / st-KEY        access-point / bridge-upstream wireless profile:
                         ssid, ssid-hex (the name's bytes in hex, e.g.
                         436166E92DFF), channel, ext-channel, channels (1:2:3),
                         wlmode (0-9), security (0 none, 1 WEP, 2 WPA),
                         auth, wepkey, wepkey-len, wepkey-index, wpa-mode,
                         wpa-cipher, psk
  wps-pin=N              the device's WPS PIN (in the configuration answer)
  client-pin=TEXT        the bridge's own client PIN (station answer)
  wps-events=3:10:34     WPS status codes sent after an accepted WPS request
                         (default 3, 10 to 26, 34)
  wps-interval=MS        gap between two status events (default 100)
  wps-result=N           result byte of WPS requests (default 1)
  wps-timeout=1          end the login with a connection-timeout event after
                         the WPS events
  connect-timeout=MS     end every login MS after it with a connection-
                         timeout event
  survey-count=N         report the first N networks of the built-in survey
                         (default all 10: every encryption and
                         authentication code, with and without WPS)
  survey=none            report an empty survey
Faults:
  drop-KIND=N            lose the first N answers of KIND: discover, login,
                         logout, get-config, get-mode, set-ip, set-wl,
                         set-mode, wps-pbc, wps-pin, set-station,
                         site-survey, station-get-config (the request still
                         takes effect)
  silent-from=KIND       the first request of KIND (kinds as for drop-)
                         still takes effect but gets no answer, and
                         from then on the device answers nothing at all
  delay=MS               send every answer MS late
  twice                  send every answer twice
  refuse-login           answer every login with result 0
  garbled-login=refuse|ignore   a login the device cannot decipher (another
                         password) is refused with result 0 (default) or
                         not answered. Several devices with different
                         passwords on one segment all refuse a login meant
                         for one of them; use "ignore" there.
)";
