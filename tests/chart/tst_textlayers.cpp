#include "chart/htmllayer.h"
#include "chart/qwttext.h"

#include <qwt_text_engine.h>

#include <QtTest>

using vesk::QwtText;

namespace {

// Records what it is asked to draw, so a test can see which engine ran.
class RecordingEngine final : public QwtTextEngine
{
public:
    explicit RecordingEngine(int* draws, bool claimsEverything = false)
        : draws(draws), claimsEverything(claimsEverything)
    {
    }
    double heightForWidth(const QFont&, int, const QString&, double) const override { return 7; }
    QSizeF textSize(const QFont&, int, const QString&) const override { return QSizeF(40, 10); }
    bool mightRender(const QString& text) const override
    {
        return claimsEverything || text.startsWith('<');
    }
    void textMargins(const QFont&, const QString&, double& left, double& right, double& top,
                     double& bottom) const override
    {
        left = 1;
        right = 2;
        top = 3;
        bottom = 4;
    }
    void draw(QPainter*, const QRectF&, int, const QString&) const override { ++*draws; }

private:
    int* draws;
    bool claimsEverything;
};

int countColour(const QImage& image, const QColor& colour, int tolerance = 0)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance
                && qAbs(c.blue() - colour.blue()) <= tolerance)
                ++n;
        }
    }
    return n;
}

QImage render(QCustomPlot& plot)
{
    // One draw of every layerable per call.
    return plot.toPixmap(300, 200).toImage();
}

} // namespace

class TestTextLayers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaultsAndUsedValues();
    void borderRadius_data();
    void borderRadius();
    void engineChoice_data();
    void engineChoice();
    void setTextEngineRules();
    void replacedEngineIsUsedNotDangling();
    void sizesUseEngineAndMargins();
    void drawsTextInItsColour();
    void emptyTextDrawsNothing();
    void overlayDrawnByChosenEngine();
    void htmlLayerDrawsTopLeft();
    void htmlLayerVisibility();
};

void TestTextLayers::init()
{
    // Every test starts from the stock engines.
    QwtText::setTextEngine(QwtText::PlainText, new QwtPlainTextEngine);
    QwtText::setTextEngine(QwtText::RichText, new QwtRichTextEngine);
}

void TestTextLayers::defaultsAndUsedValues()
{
    QCustomPlot plot;
    auto* text = new QwtText(&plot, "abc");
    QCOMPARE(text->layer(), plot.layer("main"));
    QCOMPARE(text->renderFlags(), int(Qt::AlignCenter));
    QVERIFY(!text->testLayoutAttribute(QwtText::MinimumLayout));
    QVERIFY(!text->testPaintAttribute(QwtText::PaintBackground));

    const QFont deflt("Serif", 9);
    QCOMPARE(text->usedFont(deflt), deflt);
    QCOMPARE(text->usedColor(Qt::blue), QColor(Qt::blue));
    text->setFont(QFont("Sans", 15));
    text->setColor(QColor(184, 26, 26));
    QCOMPARE(text->usedFont(deflt), QFont("Sans", 15));
    QCOMPARE(text->usedColor(Qt::blue), QColor(184, 26, 26));
    text->setPaintAttribute(QwtText::PaintUsingTextColor, false);
    QCOMPARE(text->usedColor(Qt::blue), QColor(Qt::blue));
    text->setBackgroundBrush(Qt::darkGray);
    QVERIFY(text->testPaintAttribute(QwtText::PaintBackground));
}

void TestTextLayers::borderRadius_data()
{
    QTest::addColumn<double>("given");
    QTest::addColumn<double>("stored");
    QTest::newRow("negative") << -3.0 << 0.0;
    QTest::newRow("zero") << 0.0 << 0.0;
    QTest::newRow("positive") << 4.5 << 4.5;
    QTest::newRow("nan") << qQNaN() << 0.0;
}

void TestTextLayers::borderRadius()
{
    QFETCH(double, given);
    QFETCH(double, stored);
    QCustomPlot plot;
    QwtText text(&plot);
    text.setBorderRadius(given);
    QCOMPARE(text.borderRadius(), stored);
}

void TestTextLayers::engineChoice_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("expected"); // the format whose engine is chosen
    QTest::newRow("auto plain") << "涨停 10.5" << int(QwtText::AutoText) << int(QwtText::PlainText);
    QTest::newRow("auto rich") << "<b>涨停</b>" << int(QwtText::AutoText) << int(QwtText::RichText);
    QTest::newRow("rich forced") << "plain words" << int(QwtText::RichText) << int(QwtText::RichText);
    QTest::newRow("plain forced") << "<b>x</b>" << int(QwtText::PlainText) << int(QwtText::PlainText);
}

void TestTextLayers::engineChoice()
{
    QFETCH(QString, text);
    QFETCH(int, format);
    QFETCH(int, expected);
    const QwtTextEngine* chosen = QwtText::textEngine(text, QwtText::TextFormat(format));
    QVERIFY(chosen);
    QCOMPARE(chosen, QwtText::textEngine(QwtText::TextFormat(expected)));
}

void TestTextLayers::setTextEngineRules()
{
    const QwtTextEngine* plain = QwtText::textEngine(QwtText::PlainText);
    QVERIFY(plain);
    QVERIFY(QwtText::textEngine(QwtText::RichText));
    QVERIFY(!QwtText::textEngine(QwtText::AutoText));

    QwtText::setTextEngine(QwtText::PlainText, nullptr);
    QCOMPARE(QwtText::textEngine(QwtText::PlainText), plain);

    int draws = 0;
    RecordingEngine ignored(&draws); // not taken: AutoText has no engine of its own
    QwtText::setTextEngine(QwtText::AutoText, &ignored);
    QVERIFY(!QwtText::textEngine(QwtText::AutoText));

    // Registering the engine already in place must leave it usable.
    QwtTextEngine* rich = const_cast<QwtTextEngine*>(QwtText::textEngine(QwtText::RichText));
    QwtText::setTextEngine(QwtText::RichText, rich);
    QCOMPARE(QwtText::textEngine(QwtText::RichText), rich);
    QVERIFY(rich->mightRender("<b>x</b>"));

    // Without a rich engine everything falls back to the plain one.
    QwtText::setTextEngine(QwtText::RichText, nullptr);
    QVERIFY(!QwtText::textEngine(QwtText::RichText));
    QCOMPARE(QwtText::textEngine("<b>x</b>", QwtText::AutoText), plain);
    QCOMPARE(QwtText::textEngine("<b>x</b>", QwtText::RichText), plain);
}

void TestTextLayers::replacedEngineIsUsedNotDangling()
{
    QCustomPlot plot;
    auto* text = new QwtText(&plot, "<i>overlay</i>", QwtText::RichText);
    int draws = 0;
    // The old rich engine is deleted here; the text must not keep using it.
    QwtText::setTextEngine(QwtText::RichText, new RecordingEngine(&draws));
    render(plot);
    QCOMPARE(draws, 1);
    QCOMPARE(text->textSize(), QSizeF(40, 10));
}

void TestTextLayers::sizesUseEngineAndMargins()
{
    int draws = 0;
    QwtText::setTextEngine(QwtText::PlainText, new RecordingEngine(&draws));
    QwtText::setTextEngine(QwtText::RichText, nullptr);
    QCustomPlot plot;
    QwtText text(&plot, "x", QwtText::PlainText);
    QCOMPARE(text.textSize(), QSizeF(40, 10));
    QCOMPARE(text.heightForWidth(100), 7.0);
    text.setLayoutAttribute(QwtText::MinimumLayout);
    // Margins left 1 + right 2 and top 3 + bottom 4 are cut.
    QCOMPARE(text.textSize(), QSizeF(37, 3));
    QCOMPARE(text.heightForWidth(100), 0.0);
}

void TestTextLayers::drawsTextInItsColour()
{
    QCustomPlot plot;
    plot.setBackground(Qt::black);
    auto* text = new QwtText(&plot, QString(), QwtText::AutoText);
    QFont font;
    font.setPointSize(40);
    text->setFont(font);
    text->setColor(QColor(184, 26, 26));
    text->setText("MMMM");
    QVERIFY(countColour(render(plot), QColor(184, 26, 26)) > 50);
}

void TestTextLayers::emptyTextDrawsNothing()
{
    QCustomPlot plot;
    plot.setBackground(Qt::black);
    auto* text = new QwtText(&plot);
    text->setColor(QColor(184, 26, 26));
    QCOMPARE(countColour(render(plot), QColor(184, 26, 26), 40), 0);
    // A background asked for is drawn whatever the text: it fills the
    // 300 x 200 plot up to the corners, the axes drawn above it aside.
    text->setBackgroundBrush(QColor(20, 200, 20));
    const QImage image = render(plot);
    QCOMPARE(image.pixelColor(1, 1), QColor(20, 200, 20));
    QCOMPARE(image.pixelColor(298, 198), QColor(20, 200, 20));
    QVERIFY(countColour(image, QColor(20, 200, 20)) > 300 * 200 / 2);
    QCOMPARE(countColour(image, QColor(184, 26, 26), 40), 0);
}

void TestTextLayers::overlayDrawnByChosenEngine()
{
    int plainDraws = 0;
    int richDraws = 0;
    QwtText::setTextEngine(QwtText::PlainText, new RecordingEngine(&plainDraws));
    QwtText::setTextEngine(QwtText::RichText, new RecordingEngine(&richDraws));
    QCustomPlot plot;
    auto* text = new QwtText(&plot, "<b>rich</b>", QwtText::AutoText);
    render(plot);
    QCOMPARE(richDraws, 1);
    QCOMPARE(plainDraws, 0);
    text->setText("plain", QwtText::AutoText);
    render(plot);
    QCOMPARE(plainDraws, 1);
    text->setText("plain", QwtText::RichText);
    render(plot);
    QCOMPARE(richDraws, 2);
    QCOMPARE(plainDraws, 1);
}

void TestTextLayers::htmlLayerDrawsTopLeft()
{
    QCustomPlot plot;
    plot.setBackground(Qt::black);
    auto* html = new HTMLLayer(&plot);
    QFont font;
    font.setPointSize(30);
    html->setFont(font);
    html->setHtml("<span style=\"color:#00ff00\">MMMMMMMMMMMMMMMMMMMM</span>");
    const QImage image = render(plot);
    const QImage topLeft = image.copy(0, 0, 150, 60);
    const QImage bottomRight = image.copy(150, 100, 150, 100);
    QVERIFY(countColour(topLeft, QColor(0, 255, 0), 30) > 50);
    QCOMPARE(countColour(bottomRight, QColor(0, 255, 0), 30), 0);
}

void TestTextLayers::htmlLayerVisibility()
{
    QCustomPlot plot;
    QCOMPARE(HTMLLayer::layerName(), QString("HtmlLayer"));
    auto* onMain = new HTMLLayer(&plot);
    onMain->setLayerVisible(false); // no such layer: nothing happens
    QVERIFY(plot.layer("main")->visible());

    QVERIFY(plot.addLayer(HTMLLayer::layerName()));
    plot.setCurrentLayer(HTMLLayer::layerName());
    auto* onOwn = new HTMLLayer(&plot);
    QCOMPARE(onOwn->layer()->name(), QString("HtmlLayer"));
    onMain->setLayerVisible(false);
    QVERIFY(!plot.layer("HtmlLayer")->visible());
    QVERIFY(plot.layer("main")->visible());
    onOwn->setLayerVisible(true);
    QVERIFY(plot.layer("HtmlLayer")->visible());
}

QTEST_MAIN(TestTextLayers)
#include "tst_textlayers.moc"
