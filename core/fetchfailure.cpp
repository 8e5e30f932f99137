#include "core/fetchfailure.h"

#include "core/utils.h"

QString fetchFailureText(FetchFailure failure, int httpStatus) {
    switch (failure) {
    case FetchFailure::None:
        return QString();
    case FetchFailure::Cancelled:
        return QStringLiteral("已取消");
    case FetchFailure::TimedOut:
        return QStringLiteral("超时");
    case FetchFailure::NoConnection:
        return QStringLiteral("无法连接");
    case FetchFailure::ServerError:
        return httpStatus > 0 ? QStringLiteral("服务器返回错误 %1").arg(httpStatus)
                              : QStringLiteral("服务器返回错误");
    case FetchFailure::TooLong:
        return QStringLiteral("回复过长");
    case FetchFailure::Incomplete:
        return QStringLiteral("回复不完整");
    case FetchFailure::UnexpectedFormat:
        return QStringLiteral("回复不是预期的格式");
    case FetchFailure::NoData:
        return QStringLiteral("回复中没有可用的数据");
    }
    return QString();
}

bool isNoAnswer(FetchFailure failure) {
    return failure == FetchFailure::TimedOut || failure == FetchFailure::NoConnection;
}

FetchFailure replyShapeFailure(const QString& text) {
    return serviceReplyShape(text) == ServiceReplyShape::CutOff ? FetchFailure::Incomplete
                                                                : FetchFailure::UnexpectedFormat;
}
