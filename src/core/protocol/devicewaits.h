#pragma once
// How long the wizard waits for the device, in product milliseconds (the
// time seam scales them): the wait each request is sent with, and the pauses
// a device needs after a change before it answers again. They live in the
// core so that every client of the engine can talk to a device at the pace
// the pages do.

namespace DeviceWait {

// Requests.
inline constexpr int Login = 5000;
// The engine drops its login at once and expects no answer.
inline constexpr int Logout = 0;
inline constexpr int GetConfig = 15000;
inline constexpr int GetMode = 3000;
inline constexpr int SetMode = 28000;
// The IP and the wireless settings.
inline constexpr int Setting = 32000;
inline constexpr int Wps = 10000;
inline constexpr int StationGetConfig = 3000;
inline constexpr int SiteSurvey = 7000;

// Pauses. An accepted setting restarts the device's network side or radio
// before the configuration is read back; a new mode needs a moment after
// its read-back before the wizard goes on talking to the device.
inline constexpr int SettleAfterSetting = 3000;
inline constexpr int SettleAfterSetMode = 3000;
// A WPS run that ended with Idle or Configured: the device applies what it
// learnt before it answers again.
inline constexpr int SettleAfterWpsIdle = 25000;
inline constexpr int SettleAfterWpsConfigured = 10000;

// WPS: how long the device may take to report the end of a run once it
// accepted the request, and how soon after "Start WSC Process" an Idle still
// counts as the end of a good run.
inline constexpr int WpsTimeLimit = 180000;
inline constexpr unsigned WpsIdleAfterStart = 100000;

} // namespace DeviceWait
