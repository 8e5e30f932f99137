#pragma once

#include <QString>

// Why a fetch gave no usable reply. The user reads it through
// fetchFailureText(); every failure a view reports names one of these.
enum class FetchFailure {
    None,             // the reply arrived whole and as expected
    Cancelled,        // the program stopped the request itself
    TimedOut,         // no whole reply within the time bound
    NoConnection,     // no answer at all: refused, unknown host, no network
    ServerError,      // the service answered with an error status
    TooLong,          // the reply passed the size bound and was refused
    Incomplete,       // the reply stopped before its end
    UnexpectedFormat, // the reply is not what the request asks for
    NoData,           // the reply is whole and in shape, but holds nothing usable
};

// The short Chinese reason for a failure, as shown to the user: "超时",
// "无法连接", "服务器返回错误 503" (with the HTTP status), "回复过长",
// "回复不完整", "回复不是预期的格式", "回复中没有可用的数据"; empty for None.
QString fetchFailureText(FetchFailure failure, int httpStatus = 0);

// True when no answer came at all, so the user's network may be the cause.
bool isNoAnswer(FetchFailure failure);

// The failure of a reply that arrived with a good status but failed its
// shape check: cut off when the service's value starts it without closing,
// otherwise not the expected format.
FetchFailure replyShapeFailure(const QString& text);
