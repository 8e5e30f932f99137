#include "core/stockapplication.h"

#include <QLabel>

int main(int argc, char** argv)
{
    StockApplication app(argc, argv);
    QLabel label(QStringLiteral("龙虎榜分析"));
    label.setWindowTitle(QStringLiteral("龙虎榜分析"));
    label.resize(480, 160);
    label.show();
    return app.exec();
}
