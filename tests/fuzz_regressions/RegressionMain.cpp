// Replays every input kept for one fuzz target (seeds and inputs that once failed) through it with
// the normal compiler, so a fault the fuzzer found stays fixed in the ordinary test run.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QObject>
#include <QTest>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The folder of this target's kept inputs; every file below it is one input.
QString inputFolder() { return QStringLiteral(LW_FUZZ_INPUTS); }

QStringList keptInputs()
{
    QStringList files;
    QDirIterator it(inputFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

class FuzzRegression : public QObject {
    Q_OBJECT

public:
    explicit FuzzRegression(QStringList inputs) : inputs_(std::move(inputs)) {}

private slots:
    void haveInputs() { QVERIFY2(!inputs_.isEmpty(), qPrintable(inputFolder())); }

    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir root(inputFolder());
        for (const QString& path : inputs_)
            QTest::newRow(qPrintable(root.relativeFilePath(path))) << path;
    }

    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        // The target aborts when a check fails; returning at all with 0 is the pass.
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())),
                 0);
    }

private:
    QStringList inputs_;
};

int main(int argc, char** argv)
{
    // Listed first: a target may change the current directory when it sets itself up.
    FuzzRegression test(keptInputs());
    // The target makes its own application, after any environment it needs is in place.
    LLVMFuzzerInitialize(&argc, &argv);
    return QTest::qExec(&test, argc, argv);
}

#include "RegressionMain.moc"
