// Installs the built game into a scratch prefix, moves the prefix, and checks the installed tree.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

constexpr int kProcessTimeoutMs = 120'000;
// The stand-in for the game prints its working directory and its arguments, then exits with this.
constexpr int kStubExitCode = 7;

struct Run {
    bool finished = false;
    int exitCode = -1;
    QString out, err;
};

Run run(const QString& program, const QStringList& args, const QString& workDir = {},
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    Run r;
    r.finished = p.waitForFinished(kProcessTimeoutMs) && p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Key=value pairs of the [Desktop Entry] group.
QHash<QString, QString> readDesktopEntry(const QString& path)
{
    QHash<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inEntry = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return keys;
}

} // namespace

class TestPackaging : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;
    QString prefix_; // the installed tree, after it was moved away from where it was installed

    QString installed(const QString& relative) const { return prefix_ + u'/' + relative; }
    QString launcherPath() const { return installed(QStringLiteral(LW_INSTALL_BINDIR "/lunaweave")); }
    QString desktopFile() const
    {
        return installed(QStringLiteral(LW_INSTALL_SHAREDIR "/applications/" LW_APP_ID ".desktop"));
    }
    QString metainfoFile() const
    {
        return installed(QStringLiteral(LW_INSTALL_SHAREDIR "/metainfo/" LW_APP_ID ".metainfo.xml"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scratch_.isValid());
        const QString first = scratch_.filePath(QStringLiteral("first prefix"));
        const Run install =
            run(QStringLiteral(LW_CMAKE_COMMAND),
                {QStringLiteral("--install"), QStringLiteral(LW_BUILD_DIR), QStringLiteral("--prefix"), first});
        QVERIFY2(install.finished && install.exitCode == 0, qPrintable(install.out + install.err));

        // Spaces, kanji and half-width katakana in the moved prefix.
        prefix_ = scratch_.filePath(QStringLiteral("moved 先 ﾙﾈｯﾀ"));
        QVERIFY(QDir().rename(first, prefix_));

        // The launcher is under test, not the game: a stub takes the game's place.
        const QString program = installed(QStringLiteral(LW_INSTALL_PROGRAM));
        QVERIFY(QFileInfo(program).isExecutable());
        QFile old(program);
        QVERIFY2(old.remove(), qPrintable(old.errorString()));
        QFile stub(program);
        QVERIFY(stub.open(QIODevice::WriteOnly));
        stub.write("#!/bin/sh\npwd -P\nfor a in \"$@\"; do printf '<%s>\\n' \"$a\"; done\nexit 7\n");
        stub.close();
        QVERIFY(stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner));
    }

    void dataDirectoryIsComplete()
    {
        const QString dataDir = qEnvironmentVariable("LW_DATA_DIR");
        QVERIFY(!dataDir.isEmpty());
        int files = 0, nonAscii = 0;
        QDirIterator it(dataDir, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo source(it.next());
            const QString relative = QDir(dataDir).relativeFilePath(source.filePath());
            const QFileInfo copy(installed(QStringLiteral(LW_INSTALL_DATADIR "/") + relative));
            QVERIFY2(copy.exists(), qPrintable(relative));
            QCOMPARE(copy.size(), source.size());
            ++files;
            if (relative.toUtf8().size() != relative.size())
                ++nonAscii;
        }
        QVERIFY2(files > 0, "the data directory is empty: build every target first");
        QVERIFY2(nonAscii > 0, "no picture with a Japanese name in the data directory");
    }

    void icons_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::newRow("32") << 32;
        QTest::newRow("256") << 256;
    }
    void icons()
    {
        QFETCH(int, pixels);
        const QString path =
            installed(QStringLiteral(LW_INSTALL_SHAREDIR "/icons/hicolor/%1x%1/apps/" LW_APP_ID ".png").arg(pixels));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        QCOMPARE(reader.size(), QSize(pixels, pixels));
    }

    // The names that tie the launcher, the desktop entry, the icons and the AppStream entry together.
    void desktopAndMetainfoAgree()
    {
        const QHash<QString, QString> entry = readDesktopEntry(desktopFile());
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("lunaweave"));
        QCOMPARE(QFileInfo(launcherPath()).fileName(), QStringLiteral("lunaweave"));
        QVERIFY(QFileInfo(launcherPath()).isExecutable());
        QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral(LW_APP_ID));

        QFile f(metainfoFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QHash<QString, QString> found;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            if (name == u"id" || name == u"launchable" || name == u"binary")
                found.insert(name, xml.readElementText());
            else if (name == u"release")
                found.insert(name, xml.attributes().value(QLatin1String("version")).toString());
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(found.value(QStringLiteral("id")), QStringLiteral(LW_APP_ID));
        QCOMPARE(found.value(QStringLiteral("binary")), QStringLiteral("lunaweave"));
        QCOMPARE(found.value(QStringLiteral("release")), QStringLiteral(LW_VERSION));
        QCOMPARE(found.value(QStringLiteral("launchable")), QFileInfo(desktopFile()).fileName());
    }

    void validators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate") << QStringList{desktopFile()};
        QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                                  << QStringList{QStringLiteral("validate"), QStringLiteral("--pedantic"),
                                                 QStringLiteral("--no-net"), metainfoFile()};
    }
    void validators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
        const Run r = run(path, args);
        QVERIFY2(r.finished && r.exitCode == 0, qPrintable(r.out + r.err));
        // Not even a pedantic note or a hint: appstreamcli starts each issue's line with its
        // level ("W: "), desktop-file-validate puts it after the file name (": hint: ").
        static const QRegularExpression issue(QStringLiteral("^[EWIP]: |: (error|warning|hint): "),
                                              QRegularExpression::MultilineOption);
        QVERIFY2(!(r.out + r.err).contains(issue), qPrintable(r.out + r.err));
    }

    void launcher_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("workDir");
        QTest::addColumn<QStringList>("env"); // NAME=value pairs added to the environment

        const QString sh = QStringLiteral("/bin/sh");
        QTest::newRow("by full path") << launcherPath() << QStringList{} << QString() << QStringList{};

        // Links to the launcher from outside the tree, as in ~/bin.
        const QString links = scratch_.filePath(QStringLiteral("links"));
        QDir().mkpath(links);
        QFile::link(launcherPath(), links + QStringLiteral("/absolute"));
        QFile::link(QStringLiteral("relative2"), links + QStringLiteral("/relative1"));
        QFile::link(QDir(links).relativeFilePath(launcherPath()), links + QStringLiteral("/relative2"));
        QTest::newRow("absolute link") << links + QStringLiteral("/absolute") << QStringList{} << QString()
                                       << QStringList{};
        QTest::newRow("chain of relative links")
            << links + QStringLiteral("/relative1") << QStringList{} << QString() << QStringList{};

        QTest::newRow("found on PATH") << sh << QStringList{QStringLiteral("-c"), QStringLiteral("exec lunaweave")}
                                       << QString()
                                       << QStringList{QStringLiteral("PATH=") + QFileInfo(launcherPath()).path() +
                                                      u':' + qEnvironmentVariable("PATH")};

        // A relative script path with CDPATH pointing at a decoy tree that has a bin directory too.
        const QString decoy = scratch_.filePath(QStringLiteral("decoy"));
        QDir().mkpath(decoy + QStringLiteral("/" LW_INSTALL_BINDIR));
        QTest::newRow("relative path with CDPATH set")
            << sh << QStringList{QStringLiteral(LW_INSTALL_BINDIR "/lunaweave")} << prefix_
            << QStringList{QStringLiteral("CDPATH=") + decoy};
    }
    void launcher()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, workDir);
        QFETCH(QStringList, env);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& pair : env)
            environment.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const Run r = run(program, args, workDir, environment);
        QVERIFY2(r.finished, qPrintable(r.err));
        QVERIFY2(r.exitCode == kStubExitCode, qPrintable(r.out + r.err));
        // The game runs in the data directory, with no arguments.
        QCOMPARE(r.out, QFileInfo(installed(QStringLiteral(LW_INSTALL_DATADIR))).canonicalFilePath() + u'\n');
    }

    // The launcher answers these itself; the game never starts.
    void launcherOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("firstLine"); // of standard output, or of standard error on a refusal
        QTest::addColumn<QString>("mentions");

        const QString usage = QStringLiteral("Usage: lunaweave [--help | --version]");
        const QString version = QStringLiteral("Lunaweave " LW_VERSION);
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << usage
                                << QStringLiteral("lunaweave(6)");
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << 0 << usage << QStringLiteral("--version");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0 << version << QStringLiteral("MIT");
        QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << 0 << version << QStringLiteral("Copyright");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--fullscreen")} << 2
                                        << QStringLiteral("lunaweave: unknown argument: --fullscreen") << usage;
        QTest::newRow("empty argument") << QStringList{QString()} << 2
                                        << QStringLiteral("lunaweave: unknown argument: ") << usage;
        QTest::newRow("shown as given") << QStringList{QStringLiteral("ルネッタ\\n*")} << 2
                                        << QStringLiteral("lunaweave: unknown argument: ルネッタ\\n*") << usage;
        QTest::newRow("two options") << QStringList{QStringLiteral("--help"), QStringLiteral("--version")} << 2
                                     << QStringLiteral("lunaweave: too many arguments") << usage;
    }
    void launcherOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, firstLine);
        QFETCH(QString, mentions);

        const Run r = run(launcherPath(), args);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, exitCode);
        const QString& answer = exitCode == 0 ? r.out : r.err;
        QCOMPARE(answer.section(u'\n', 0, 0), firstLine);
        QVERIFY2(answer.contains(mentions), qPrintable(answer));
        QCOMPARE(exitCode == 0 ? r.err : r.out, QString());
    }

    // What a plain install adds beside the game; the Debian-only parts stay out of it.
    void documents_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("expected");
        QTest::newRow("manual page") << QStringLiteral(LW_INSTALL_MANDIR "/man6/lunaweave.6.gz") << true;
        QTest::newRow("upstream changelog") << QStringLiteral(LW_INSTALL_DOCDIR "/changelog.gz") << true;
        QTest::newRow("copyright") << QStringLiteral(LW_INSTALL_DOCDIR "/copyright") << true;
        QTest::newRow("no Debian changelog") << QStringLiteral(LW_INSTALL_DOCDIR "/changelog.Debian.gz") << false;
        QTest::newRow("no games directory") << QStringLiteral("games") << false;
    }
    void documents()
    {
        QFETCH(QString, path);
        QFETCH(bool, expected);
        QCOMPARE(QFileInfo::exists(installed(path)), expected);
    }

    void copyrightIsMachineReadable()
    {
        QFile f(installed(QStringLiteral(LW_INSTALL_DOCDIR "/copyright")));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.startsWith(
            QLatin1String("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")));
        QVERIFY(text.contains(QLatin1String("\nFiles: *\n")));
        // Every License field of a paragraph has its text in a stand-alone License paragraph.
        QVERIFY(text.contains(QLatin1String("\nLicense: Expat\n Permission is hereby granted")));
    }

    void launcherWithoutData()
    {
        const QString data = installed(QStringLiteral(LW_INSTALL_DATADIR));
        const QString away = data + QStringLiteral(".away");
        QVERIFY(QDir().rename(data, away));
        const Run r = run(launcherPath(), {});
        QVERIFY(QDir().rename(away, data));

        QVERIFY(r.finished);
        QVERIFY2(r.exitCode != 0 && r.exitCode != kStubExitCode, qPrintable(r.out + r.err));
        QCOMPARE(r.out, QString()); // the game did not start somewhere else
        QVERIFY2(r.err.contains(QLatin1String("data directory")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
