// The numbers of the dimension labels follow the "Settings" dialog: its significant digits and
// its unit letter, read when a label is made. No drawing: only the text a label writes.
#include "AngularDimension.h"
#include "LinearDimension.h"
#include "Point.h"
#include "ProcessValues.h"
#include "TestSupport.h"

#include <QtTest>
#include <string>

class DimensionLabelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void linkLengthIsWrittenToTheChosenDigits_data();
    void linkLengthIsWrittenToTheChosenDigits();
    void unitLetterNamesTheUnit_data();
    void unitLetterNamesTheUnit();
    void sweptAngleIsWrittenToTheChosenDigits_data();
    void sweptAngleIsWrittenToTheChosenDigits();
    void digitsOutsideWhatAStreamHoldsAreBounded();

private:
    int savedDigits = 4;
    char savedUnit = 'm';
};

void DimensionLabelTest::init() {
    savedDigits = significantDigits;
    savedUnit = unitLetter;
}

void DimensionLabelTest::cleanup() {
    significantDigits = savedDigits;
    unitLetter = savedUnit;
}

void DimensionLabelTest::linkLengthIsWrittenToTheChosenDigits_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("length");
    QTest::addColumn<QString>("text");
    // Hand-rounded: 3.14159265 to 1, 2, 4 and 8 significant digits.
    QTest::newRow("one digit") << 1 << 3.14159265 << "3m";
    QTest::newRow("two digits") << 2 << 3.14159265 << "3.1m";
    QTest::newRow("four digits (start)") << 4 << 3.14159265 << "3.142m";
    QTest::newRow("eight digits") << 8 << 3.14159265 << "3.1415927m";
    QTest::newRow("trailing zeros dropped") << 6 << 2.5 << "2.5m";
    QTest::newRow("large length") << 3 << 1234.0 << "1.23e+03m";
}

void DimensionLabelTest::linkLengthIsWrittenToTheChosenDigits() {
    QFETCH(int, digits);
    QFETCH(double, length);
    QFETCH(QString, text);
    significantDigits = digits;
    const LinearDimension dim(Point(0.0, 0.0, 0.0), Point(length, 0.0, 0.0), length, 0.0, 1.0,
                              'm');
    QCOMPARE(QString::fromStdString(dim.valueText()), text);
}

void DimensionLabelTest::unitLetterNamesTheUnit_data() {
    QTest::addColumn<char>("unit");
    QTest::addColumn<QString>("text");
    QTest::newRow("inches") << 'i' << "1.5in";
    QTest::newRow("meters") << 'm' << "1.5m";
}

// The dyads make their labels with the process-wide letter the dialog sets.
void DimensionLabelTest::unitLetterNamesTheUnit() {
    QFETCH(char, unit);
    QFETCH(QString, text);
    unitLetter = unit;
    const LinearDimension dim(Point(0.0, 0.0, 0.0), Point(0.0, 1.5, 0.0), 1.5, 90.0, 1.0,
                              unitLetter);
    QCOMPARE(QString::fromStdString(dim.valueText()), text);
}

void DimensionLabelTest::sweptAngleIsWrittenToTheChosenDigits_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::addColumn<QString>("text");
    QTest::newRow("four digits") << 4 << 0.0 << 33.3333333 << "33.33";
    QTest::newRow("two digits") << 2 << 0.0 << 33.3333333 << "33";
    QTest::newRow("seven digits") << 7 << 10.0 << 43.3333333 << "33.33333";
    // Regression: a five-character cut showed -123.5 as "-123.".
    QTest::newRow("negative sweep") << 4 << 0.0 << -123.456 << "-123.5";
}

void DimensionLabelTest::sweptAngleIsWrittenToTheChosenDigits() {
    QFETCH(int, digits);
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(QString, text);
    significantDigits = digits;
    const AngularDimension dim(Point(0.0, 0.0, 0.0), 1.0, start, end);
    QCOMPARE(QString::fromStdString(dim.valueText()), text);
}

void DimensionLabelTest::digitsOutsideWhatAStreamHoldsAreBounded() {
    significantDigits = 0;
    QCOMPARE(LinearDimension::numberText(3.14159265), std::string("3"));
    significantDigits = 40;
    QCOMPARE(LinearDimension::numberText(0.1), std::string("0.10000000000000001"));
}

MS_REGISTER_TEST(DimensionLabelTest)
#include "DimensionLabelTest.moc"
