// Compiles the configured Windows resource script with windres and reads the
// version record and the icon back out of the compiled resources.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <optional>

namespace {

struct Resource {
    int type = 0; // numeric types only: RT_ICON 3, RT_GROUP_ICON 14, RT_VERSION 16
    int language = 0;
    QByteArray data;
};

quint16 word(const QByteArray &b, qsizetype at)
{
    return at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

quint32 dword(const QByteArray &b, qsizetype at)
{
    return at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

qsizetype align4(qsizetype at)
{
    return (at + 3) & ~qsizetype(3);
}

// A type or name field of a .res header: 0xFFFF and an id, or a string.
qsizetype skipIdOrName(const QByteArray &b, qsizetype at, int *id)
{
    if (word(b, at) == 0xFFFF) {
        *id = word(b, at + 2);
        return at + 4;
    }
    *id = -1;
    while (at + 2 <= b.size() && word(b, at) != 0)
        at += 2;
    return at + 2;
}

// The .res file: a row of headers, each followed by its data.
QList<Resource> readResFile(const QByteArray &b)
{
    QList<Resource> out;
    qsizetype at = 0;
    while (at + 8 <= b.size()) {
        const quint32 dataSize = dword(b, at);
        const quint32 headerSize = dword(b, at + 4);
        Resource r;
        int name = 0;
        qsizetype p = skipIdOrName(b, at + 8, &r.type);
        p = skipIdOrName(b, p, &name);
        p = align4(p);
        r.language = word(b, p + 6); // after DataVersion and MemoryFlags
        r.data = b.mid(at + headerSize, dataSize);
        if (dataSize > 0)
            out << r;
        at = align4(at + headerSize + dataSize);
    }
    return out;
}

// One node of the version record tree: key, value and children.
struct VersionNode {
    QString key;
    bool text = false;
    QByteArray value;   // binary value
    QString textValue;  // text value
    QList<VersionNode> children;

    const VersionNode *child(const QString &name) const
    {
        for (const VersionNode &c : children)
            if (c.key == name)
                return &c;
        return nullptr;
    }
};

QString utf16z(const QByteArray &b, qsizetype *at)
{
    QString s;
    while (*at + 2 <= b.size()) {
        const quint16 c = word(b, *at);
        *at += 2;
        if (c == 0)
            break;
        s += QChar(c);
    }
    return s;
}

VersionNode readNode(const QByteArray &b, qsizetype at)
{
    VersionNode n;
    const qsizetype end = at + word(b, at);
    const quint16 valueLength = word(b, at + 2);
    n.text = word(b, at + 4) == 1;
    qsizetype p = at + 6;
    n.key = utf16z(b, &p);
    p = align4(p);
    if (valueLength > 0) {
        if (n.text) {
            n.textValue = utf16z(b, &p);
        } else {
            n.value = b.mid(p, valueLength);
            p += valueLength;
        }
    }
    p = align4(p);
    while (p + 6 <= end) {
        const quint16 length = word(b, p);
        if (length == 0)
            break;
        n.children << readNode(b, p);
        p = align4(p + length);
    }
    return n;
}

} // namespace

class TestVersionRecord : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void versionRecordIsJapaneseUtf16();
    void fixedFileInfo_data();
    void fixedFileInfo();
    void strings_data();
    void strings();
    void iconCarriesBothImages_data();
    void iconCarriesBothImages();

private:
    QList<Resource> resources_;
    std::optional<Resource> find(int type) const
    {
        for (const Resource &r : resources_)
            if (r.type == type)
                return r;
        return std::nullopt;
    }
    VersionNode root_;
};

void TestVersionRecord::initTestCase()
{
    QString windres = QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-windres"));
    if (windres.isEmpty())
        windres = QStandardPaths::findExecutable(QStringLiteral("windres"));
    if (windres.isEmpty())
        QSKIP("windres is not installed (Debian: binutils-mingw-w64-x86-64); the version record is not checked");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString output = dir.filePath(QStringLiteral("tekkora.res"));
    QStringList args{QStringLiteral("-O"), QStringLiteral("res"), QStringLiteral(TEKKORA_RC_FILE), output};
    // windres preprocesses with the MinGW gcc; without one the host's cpp does.
    if (QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-gcc")).isEmpty()) {
        const QString cpp = QStandardPaths::findExecutable(QStringLiteral("cpp"));
        if (!cpp.isEmpty())
            args.prepend(QStringLiteral("--preprocessor=") + cpp);
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(windres, args);
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAll().constData());

    QFile res(output);
    QVERIFY(res.open(QIODevice::ReadOnly));
    resources_ = readResFile(res.readAll());
    const auto version = find(16);
    QVERIFY2(version.has_value(), "no version record");
    root_ = readNode(version->data, 0);
    QCOMPARE(root_.key, QStringLiteral("VS_VERSION_INFO"));
}

void TestVersionRecord::versionRecordIsJapaneseUtf16()
{
    QCOMPARE(find(16)->language, 0x0411);

    const VersionNode *strings = root_.child(QStringLiteral("StringFileInfo"));
    QVERIFY(strings);
    QCOMPARE(strings->children.size(), 1);
    QCOMPARE(strings->children.first().key, QStringLiteral("041104B0"));

    const VersionNode *vars = root_.child(QStringLiteral("VarFileInfo"));
    QVERIFY(vars);
    const VersionNode *translation = vars->child(QStringLiteral("Translation"));
    QVERIFY(translation);
    QCOMPARE(translation->value.size(), 4);
    QCOMPARE(word(translation->value, 0), quint16(0x0411));
    QCOMPARE(word(translation->value, 2), quint16(1200));
}

void TestVersionRecord::fixedFileInfo_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint32>("expected");

    const QStringList parts = QStringLiteral(TEKKORA_VERSION).split(QLatin1Char('.'));
    auto part = [&](int i) { return i < parts.size() ? parts[i].toUInt() : 0u; };
    const quint32 high = (part(0) << 16) | part(1);
    const quint32 low = (part(2) << 16) | part(3);

    QTest::newRow("signature") << 0 << 0xFEEF04BDu;
    QTest::newRow("file version, major and minor") << 8 << high;
    QTest::newRow("file version, build and revision") << 12 << low;
    QTest::newRow("product version, major and minor") << 16 << high;
    QTest::newRow("product version, build and revision") << 20 << low;
    QTest::newRow("flags: not a debug or pre-release build") << 28 << 0u;
    QTest::newRow("an application") << 36 << 1u;
}

void TestVersionRecord::fixedFileInfo()
{
    QFETCH(int, offset);
    QFETCH(quint32, expected);

    QCOMPARE(root_.value.size(), 52);
    QCOMPARE(dword(root_.value, offset), expected);
}

void TestVersionRecord::strings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    // Code points, so that a wrong source encoding cannot hide.
    QTest::newRow("Comments, with full-width ! and ?")
        << "Comments"
        << QString::fromUtf16(u"\u3042\u306A\u305F\u306F\u3069\u308C\u3060\u3051\u901F\u304F"
                              u"\u6253\u3066\u307E\u3059\u304B\uFF01\uFF1F");
    QTest::newRow("FileDescription")
        << "FileDescription"
        << QString::fromUtf16(u"\u30BF\u30A4\u30D4\u30F3\u30B0\u306E\u901F\u5EA6\u3092"
                              u"\u6E2C\u5B9A\u3059\u308B\u30BD\u30D5\u30C8");
    QTest::newRow("FileVersion") << "FileVersion" << QStringLiteral(TEKKORA_VERSION);
    QTest::newRow("ProductVersion") << "ProductVersion" << QStringLiteral(TEKKORA_VERSION);
    QTest::newRow("ProductName") << "ProductName" << QStringLiteral("Tekkora!");
    QTest::newRow("InternalName") << "InternalName" << QStringLiteral("Tekkora!");
}

void TestVersionRecord::strings()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const VersionNode *strings = root_.child(QStringLiteral("StringFileInfo"));
    QVERIFY(strings && !strings->children.isEmpty());
    const VersionNode *entry = strings->children.first().child(key);
    QVERIFY2(entry, qPrintable(key));
    QVERIFY(entry->text);
    QCOMPARE(entry->textValue, expected);
}

void TestVersionRecord::iconCarriesBothImages_data()
{
    QTest::addColumn<int>("size");

    QTest::newRow("32x32") << 32;
    QTest::newRow("16x16") << 16;
}

void TestVersionRecord::iconCarriesBothImages()
{
    QFETCH(int, size);

    const auto group = find(14);
    QVERIFY2(group.has_value(), "no icon group");
    const QByteArray &g = group->data;
    const int count = word(g, 4);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 14 * i; // GRPICONDIRENTRY
        if (quint8(g[entry]) == size && quint8(g[entry + 1]) == size) {
            found = true;
            QCOMPARE(int(quint8(g[entry + 2])), 16); // colours
            QCOMPARE(int(word(g, entry + 6)), 4);    // bits per pixel
        }
    }
    QVERIFY(found);
}

QTEST_GUILESS_MAIN(TestVersionRecord)
#include "tst_versionrecord.moc"
