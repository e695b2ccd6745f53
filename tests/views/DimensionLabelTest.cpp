// The numbers of the dimension labels follow the "Settings" dialog: its significant digits and its
// unit letter, read when a label is made.
#include "AngularDimension.h"
#include "LinearDimension.h"
#include "PR.h"
#include "Point.h"
#include "ProcessValues.h"
#include "RR.h"
#include "ScreenLabels.h"
#include "TestSupport.h"
#include "ViewTestSupport.h"

#include <QtTest>
#include <string>

class DimensionLabelTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        savedDigits = significantDigits;
        savedUnit = unitLetter;
    }
    void cleanup() {
        significantDigits = savedDigits;
        unitLetter = savedUnit;
    }
    void valueIsWrittenToTheChosenDigits_data() {
        QTest::addColumn<bool>("angular"); QTest::addColumn<int>("digits");
        QTest::addColumn<double>("start");   // a sweep's start; unused for a length
        QTest::addColumn<double>("value");   // a length, or a sweep's end
        QTest::addColumn<QString>("text");
        // Hand-rounded: 3.14159265 to 1, 2, 4 and 8 significant digits.
        QTest::newRow("length, one digit") << false << 1 << 0.0 << 3.14159265 << "3m";
        QTest::newRow("length, two digits") << false << 2 << 0.0 << 3.14159265 << "3.1m";
        QTest::newRow("length, four digits (start)") << false << 4 << 0.0 << 3.14159265 << "3.142m";
        QTest::newRow("length, eight digits") << false << 8 << 0.0 << 3.14159265 << "3.1415927m";
        QTest::newRow("trailing zeros dropped") << false << 6 << 0.0 << 2.5 << "2.5m";
        QTest::newRow("large length") << false << 3 << 0.0 << 1234.0 << "1.23e+03m";
        // Below one is taken as one (a stream given -1 would write its default of six digits);
        // forty digits show what a double holds.
        QTest::newRow("digits below one") << false << -1 << 0.0 << 3.14159265 << "3m";
        QTest::newRow("forty digits") << false << 40 << 0.0 << 0.1 << "0.10000000000000001m";
        QTest::newRow("sweep, four digits") << true << 4 << 0.0 << 33.3333333 << "33.33";
        QTest::newRow("sweep, two digits") << true << 2 << 0.0 << 33.3333333 << "33";
        QTest::newRow("sweep, seven digits") << true << 7 << 10.0 << 43.3333333 << "33.33333";
        // Regression: a five-character cut showed -123.5 as "-123.".
        QTest::newRow("negative sweep") << true << 4 << 0.0 << -123.456 << "-123.5";
    }
    void valueIsWrittenToTheChosenDigits() {
        QFETCH(bool, angular); QFETCH(int, digits); QFETCH(double, start); QFETCH(double, value);
        QFETCH(QString, text);
        significantDigits = digits;
        const std::string written =
            angular ? AngularDimension(Point(0.0, 0.0, 0.0), 1.0, start, value).valueText()
                    : LinearDimension(Point(0.0, 0.0, 0.0), Point(value, 0.0, 0.0), value, 0.0, 1.0,
                                      'm').valueText();
        QCOMPARE(QString::fromStdString(written), text);
    }
    void dyadLengthLabelsFollowTheUnitAndDigits_data() {
        QTest::addColumn<QString>("kind"); QTest::addColumn<char>("unit");
        QTest::addColumn<int>("digits"); QTest::addColumn<QString>("text");
        // The link runs from (1, 2) to (2, 3): sqrt(2) = 1.41421356..., rounded by hand.
        QTest::newRow("RR inches, 3 digits") << "RR" << 'i' << 3 << "1.41in";
        QTest::newRow("RR meters, 6 digits") << "RR" << 'm' << 6 << "1.41421m";
        QTest::newRow("PR inches, 5 digits") << "PR" << 'i' << 5 << "1.4142in";
        QTest::newRow("PR meters, 2 digits") << "PR" << 'm' << 2 << "1.4m";
    }
    // The dyads make their length labels with the process-wide letter and digits the dialog sets,
    // read when the label is made: the labels are the ones the dyad's draw() and its input preview
    // write.
    void dyadLengthLabelsFollowTheUnitAndDigits() {
        QFETCH(QString, kind); QFETCH(char, unit); QFETCH(int, digits); QFETCH(QString, text);
        // Other values while the dyad is made: its label must be made from the values at the time.
        unitLetter = unit == 'i' ? 'm' : 'i';
        significantDigits = 9;
        std::string made, previewed;   // the dyad's label, and its input preview's
        if (kind == "RR") {
            const RR rr(1.0, 2.0, 2.0, 3.0, 2.0, 3.0, 0.0);
            unitLetter = unit;
            significantDigits = digits;
            made = rr.lengthDimension().valueText();
            previewed = RR::previewLengthDimension(1.0, 2.0, 2.0, 3.0).valueText();
        } else {
            const PR pr(1.0, 2.0, 2.0, 3.0, 2.0, 3.0, 0.0);
            unitLetter = unit;
            significantDigits = digits;
            made = pr.lengthDimension().valueText();
            previewed = PR::previewLengthDimension(1.0, 2.0, 2.0, 3.0).valueText();
        }
        QCOMPARE(QString::fromStdString(made), text);
        QCOMPARE(QString::fromStdString(previewed), text);
    }
    // The views write through Qt, which has the degree sign the old stroke font lacked: "90°" is
    // the ink of "90" and, right of it, a ring at the top of the line.
    void degreeSignFollowsTheDigitsAsARing() {
        MS_REQUIRE_GL();
        testsupport::GLCanvas canvas(200, 200, -1.0, 1.0, -1.0, 1.0);
        QVERIFY(canvas.isValid());
        const auto write = [&canvas](const char *text) {
            return canvas.render([text] {
                glColor3d(0.0, 0.0, 0.0);
                ScreenLabels::write(text, -0.5, 0.0, ScreenLabels::Style());
            });
        };
        const QImage digits = write("90"), withSign = write("90\u00B0");
        const QRect digitsInk = viewtest::inkBox(digits, digits.rect(), testsupport::isDark);
        const QRect signInk = viewtest::inkBox(withSign, withSign.rect(), testsupport::isDark);
        QVERIFY(!digitsInk.isNull());
        QCOMPARE(signInk.left(), digitsInk.left());
        QCOMPARE(signInk.bottom(), digitsInk.bottom());
        QVERIFY2(signInk.right() >= digitsInk.right() + 3,
                 qPrintable(QString("%1 vs %2").arg(signInk.right()).arg(digitsInk.right())));
        QVERIFY(viewtest::endsInARingAtTheTop(withSign, signInk, testsupport::isDark));
        QVERIFY(!viewtest::endsInARingAtTheTop(digits, digitsInk, testsupport::isDark));
    }

private:
    int savedDigits = 4;
    char savedUnit = 'm';
};
MS_REGISTER_TEST(DimensionLabelTest)
#include "DimensionLabelTest.moc"
