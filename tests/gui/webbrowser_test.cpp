// The embedded browser on the real engine: loading local pictures and pages, reading and
// writing the sizes of their images, history commands.
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>

#include "core/app/browsercommands.h"
#include "core/platform/browser.h"
#include "core/platform/clipboard.h"
#include "core/platform/scripted_ui.h"
#include "core/platform/shell.h"
#include "gui/webbrowser.h"

namespace {

struct Recorder final : ambrel::platform::BrowserListener {
    int completes = 0;
    bool canGoBack = false;
    bool canGoForward = false;
    void documentComplete() override { ++completes; }
    void commandStateChange(int command, bool enabled) override {
        (command == ambrel::platform::kCommandBack ? canGoBack : canGoForward) = enabled;
    }
};

// A grey 24-bit BMP, 4x2 unless told otherwise, small enough to write by hand.
QByteArray bmp(quint32 width = 4, quint32 height = 2) {
    const quint32 row = (width * 3 + 3) / 4 * 4;
    QByteArray b("BM");
    auto le = [&](quint32 v, int n) {
        for (int i = 0; i < n; ++i) {
            b.append(static_cast<char>((v >> (8 * i)) & 0xff));
        }
    };
    le(54 + row * height, 4), le(0, 4), le(54, 4), le(40, 4), le(width, 4), le(height, 4);
    le(1, 2), le(24, 2), le(0, 4), le(row * height, 4), le(2835, 4), le(2835, 4), le(0, 4);
    le(0, 4);
    b.append(QByteArray(static_cast<int>(row * height), '\x7f'));
    return b;
}

}  // namespace

class WebBrowserTest final : public QObject {
    Q_OBJECT

private slots:
    void aWidePictureShownAloneIsFittedTo270();
    void readsAndScalesTheImagesOfALoadedPage() {
        QTemporaryDir dir;
        QFile pic(dir.filePath("my pic.bmp"));
        QVERIFY(pic.open(QIODevice::WriteOnly));
        pic.write(bmp());
        pic.close();
        QFile page(dir.filePath("page.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(
            "<html><body><img src='my pic.bmp' width='40' height='20'>"
            "<img src='my pic.bmp'></body></html>");
        page.close();

        QWebEngineView view;
        view.resize(400, 300);
        view.show();
        ambrel::gui::WebBrowser browser(&view);
        Recorder recorder;
        browser.setListener(&recorder);

        browser.navigate("file://" + dir.filePath("page.html").toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(recorder.completes, 1, 20000);
        QCOMPARE(browser.imageCount(), 2);
        QCOMPARE(browser.imageWidth(0), 40);
        QCOMPARE(browser.imageHeight(0), 20);
        QCOMPARE(browser.imageWidth(1), 4);
        QCOMPARE(browser.imageHeight(1), 2);
        browser.setImageWidth(1, 40);
        QCOMPARE(browser.imageHeight(1), 20);
        // An image whose height is set keeps it when its width changes.
        browser.setImageWidth(0, 80);
        QTRY_COMPARE_WITH_TIMEOUT(browser.imageHeight(0), 20, 5000);
        QCOMPARE(browser.imageWidth(0), 80);
        QCOMPARE(QString::fromStdString(browser.currentAddress()),
                 "file://" + dir.filePath("page.html"));

        // A picture address shows as a document holding that one picture.
        browser.navigate("file://" + dir.filePath("my pic.bmp").toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(recorder.completes, 2, 20000);
        QCOMPARE(browser.imageCount(), 1);
        QCOMPARE(browser.imageWidth(0), 4);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.canGoBack, 5000);
        QVERIFY(!recorder.canGoForward);

        browser.goBack();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.completes, 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.canGoForward, 5000);
        QCOMPARE(browser.imageCount(), 2);
    }
};

void WebBrowserTest::aWidePictureShownAloneIsFittedTo270() {
    QTemporaryDir dir;
    QFile pic(dir.filePath("wide.bmp"));
    QVERIFY(pic.open(QIODevice::WriteOnly));
    pic.write(bmp(800, 40));
    pic.close();

    // Narrower than the picture: the engine first shrinks it to fit the view.
    QWebEngineView view;
    view.resize(400, 300);
    view.show();
    ambrel::gui::WebBrowser browser(&view);
    ambrel::platform::ScriptedUi ui;
    ambrel::platform::MemoryClipboard clipboard;
    ambrel::platform::RegistryStore registry(dir.filePath("store.reg").toStdString());
    ambrel::platform::FakeShell shell;
    ambrel::app::Tmyambrel app(dir.path().toStdString() + "/",
                               {ui, clipboard, browser, registry, shell});
    ambrel::app::BrowserCommands commands(app);

    browser.navigate("file://" + dir.filePath("wide.bmp").toStdString());
    // The engine's own answer replaces the estimate: the picture is 270 wide in the page.
    QTRY_COMPARE_WITH_TIMEOUT(browser.imageCount(), 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(browser.imageWidth(0), 270, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(browser.imageHeight(0), 14, 5000);  // 40 * 270 / 800, rounded
    // Asked again at each try: the copy that takes the picture's place may still be loading.
    const auto pageSize = [&view] {
        QVariant size;
        view.page()->runJavaScript("document.images[0].width + 'x' + document.images[0].height",
                                   [&size](const QVariant& v) { size = v; });
        QDeadlineTimer deadline(5000);
        while (!size.isValid() && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
        return size.toString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(pageSize(), QStringLiteral("270x14"), 10000);
    // The engine fits its picture again when the view changes size; the fitted one stays.
    view.resize(350, 250);
    QTest::qWait(300);
    QTRY_COMPARE_WITH_TIMEOUT(pageSize(), QStringLiteral("270x14"), 10000);
}

QTEST_MAIN(WebBrowserTest)
#include "webbrowser_test.moc"
