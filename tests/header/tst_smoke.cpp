#include "AddinHeader.h"
#include "TestFiles.h"
#include <QtTest>
class Smoke : public QObject {
    Q_OBJECT
private slots:
    void parse() {
        auto h = AddinHeader::parse(TestFiles::addin());
        QCOMPARE(h.headSize, 205);
        QCOMPARE(h.org, 32565);
        QCOMPARE(h.codeSize, 100);
    }
};
QTEST_GUILESS_MAIN(Smoke)
#include "tst_smoke.moc"
