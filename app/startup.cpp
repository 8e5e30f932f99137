#include "app/startup.h"

#include "app/lhbmainwindow.h"
#include "app/stocknotewidget.h"
#include "core/stockapplication.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <cstdlib>
#include <ctime>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce() {
    Q_INIT_RESOURCE(resources);
}

void initVeskResources() {
    static const bool done = (initResourcesOnce(), true);
    (void)done;
}

void seedRandomGenerators() {
    const auto now = static_cast<unsigned>(std::time(nullptr));
    std::srand(now);
    // The query strings of the data clients draw from qrand().
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(now);
    QT_WARNING_POP
}

void applyChineseLocale() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

QString applyApplicationStyle(QApplication& app) {
    for (const char* name : {"Cleanlooks", "Fusion"}) {
        if (QStyle* style = QStyleFactory::create(QLatin1String(name))) {
            app.setStyle(style);
            return QLatin1String(name);
        }
    }
    return QString();
}

bool installQtTranslation(QApplication& app) {
    auto* translator = new QTranslator;
    if (translator->load(QLatin1String(kQtTranslationPath), QString(), QString(), QString())) {
        // Parented to the application so it lives exactly as long as it.
        translator->setParent(&app);
        app.installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

void applyApplicationFont(QApplication& app) {
    QFont font;
    font.setPointSize(10);
    app.setFont(font);
}

bool showFirstRunNote(const StockApplication& app) {
    if (app.isInitialized())
        return false;
    StockNoteWidget note(QString::fromUtf8(kFirstRunCaption), QLatin1String(kInfoPagePath),
                         nullptr);
    note.exec(); // however it is closed, start-up goes on
    return true;
}

int runApplication(StockApplication& app) {
    // Qt 5 takes the literals as UTF-8 and already decodes local 8-bit text
    // with the locale's codec, so no codec needs to be set here.
    initVeskResources();
    applyChineseLocale();
    applyApplicationStyle(app);
    installQtTranslation(app);
    applyApplicationFont(app);
    showFirstRunNote(app);

    int result = 0;
    {
        LHBMainWindow window(nullptr);
        window.show();
        result = app.exec();
    } // the window, and with it the scan widget, goes before the application
    return result;
}
