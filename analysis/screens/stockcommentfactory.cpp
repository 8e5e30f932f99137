#include "analysis/screens/stockcommentfactory.h"

#include "analysis/screens/breachscanner.h"
#include "analysis/screens/pricepositionscanner.h"
#include "analysis/screens/stockkscanner.h"
#include "analysis/screens/stockmacdscanner.h"
#include "analysis/screens/stockmanscanner.h"
#include "analysis/screens/stockvolscanner.h"

StockCommentFactory::StockCommentFactory() {
    m_scanners.append(new StockMaNScanner);
    m_scanners.append(new StockMACDScanner);
    m_scanners.append(new StockVolScanner);
    m_scanners.append(new StockKScanner);
    m_scanners.append(new PricePositionScanner);
    m_scanners.append(new BreachScanner);
}

StockCommentFactory::~StockCommentFactory() {
    qDeleteAll(m_scanners);
    m_scanners.clear();
}

int StockCommentFactory::scan(void* context, const QVector<Stock>& bars, QStringList* comments) {
    if (comments)
        comments->clear();
    m_commentTable.clear();
    for (StockScanner* scanner : qAsConst(m_scanners)) {
        QStringList found;
        if (scanner->scan(context, bars, &found) == -1)
            continue;
        const int category = scanner->typeId();
        addCategory(category);
        m_commentTable[category].append(found);
    }
    // A screen may report a code without a comment; keep no empty entries.
    for (const int category : m_commentTable.keys()) {
        if (m_commentTable.value(category).isEmpty())
            m_commentTable.remove(category);
    }
    return 1;
}

void StockCommentFactory::addCategory(int typeId) {
    if (!m_commentTable.contains(typeId))
        m_commentTable.insert(typeId, QStringList());
}
