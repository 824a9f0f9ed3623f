#include "protocol/wpsstatus.h"

namespace WpsStatus {

const char *Text(int code)
{
    // Codes 0..38 are the registrar's progress; 257 onwards are the
    // device's own failure reasons. Everything in between is unused.
    static const char *const kLow[] = {
        "Not used",
        "Idle",
        "WSC Fail(Ignore this if Intel/Marvell registrar used)",
        "Start WSC Process",
        "Received EAPOL-Start",
        "Sending EAP-Req(ID)",
        "Receive EAP-Rsp(ID)",
        "Receive EAP-Req with wrong WSC SMI Vendor Id",
        "Receive EAPReq with wrong WSC Vendor Type",
        "Sending EAP-Req(WSC_START)",
        "Send M1",
        "Received M1",
        "Send M2",
        "Received M2",
        "Received M2D",
        "Send M3",
        "Received M3",
        "Send M4",
        "Received M4",
        "Send M5",
        "Received M5",
        "Send M6",
        "Received M6",
        "Send M7",
        "Received M7",
        "Send M8",
        "Received M8",
        "Processing EAP Response (ACK)",
        "Processing EAP Request (Done)",
        "Processing EAP Response (Done)",
        "Sending EAP-Fail",
        "WSC_ERROR_HASH_FAIL",
        "WSC_ERROR_HMAC_FAIL",
        "WSC_ERROR_DEV_PWD_AUTH_FAIL",
        "Configured",
        "SCAN AP",
        "EAPOL START SENT",
        "WSC_EAP_RSP_DONE_SENT",
        "WAIT PINCODE",
    };
    static const char *const kHigh[] = {
        "PBC:TOO MANY AP",  "PBC:NO AP",         "EAP_FAIL_RECEIVED", "EAP_NONCE_MISMATCH",
        "EAP_INVALID_DATA", "PASSWORD_MISMATCH", "EAP_REQ_WRONG_SMI", "EAP_REQ_WRONG_VENDOR_TYPE",
    };
    constexpr int kLowCount = int(sizeof(kLow) / sizeof(kLow[0]));
    constexpr int kHighFirst = 257;
    constexpr int kHighCount = int(sizeof(kHigh) / sizeof(kHigh[0]));
    static_assert(kLowCount == 39 && kHighCount == 8, "the device's table has codes 0..38 and 257..264");
    if (code >= 0 && code < kLowCount)
        return kLow[code];
    if (code >= kHighFirst && code < kHighFirst + kHighCount)
        return kHigh[code - kHighFirst];
    return "Unknown";
}

} // namespace WpsStatus
