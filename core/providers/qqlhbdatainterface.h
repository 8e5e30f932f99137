#pragma once

#include "core/providers/providerinterfaces.h"

// Client of Tencent's list-seat script: the buying and selling seats of one
// stock's list entry on one day. Parameters are "code,yyyy-MM-dd".
class QQLHBDataInterface final : public LHBInterface {
public:
    QStringList urls(const QStringList& params) override;
    QVector<LHBUnit> parse(const QString& text, const QString& param) override;
};
