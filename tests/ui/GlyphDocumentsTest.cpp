// The theme's glyph files parsed once and drawn at any size: the same pixels as the image reader gives, whether a
// file was parsed ahead on the parsing thread or when first drawn.

#include "ui/GlyphDocuments.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace {

/// Small-size glyph files of the icon theme, from several contexts.
QStringList themeGlyphFiles(int count) {
    QStringList files;
    for (const QString& base : QIcon::themeSearchPaths()) {
        const QDir theme(base + QStringLiteral("/breeze"));
        if (!theme.exists())
            continue;
        QDirIterator it(theme.path(), {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && files.size() < count) {
            const QString file = it.next();
            if (file.contains(QStringLiteral("/16/")) || file.contains(QStringLiteral("/22/")))
                files.append(file);
        }
    }
    return files;
}

/// The reference: the image reader's drawing of the file, as large as fits in `size` at its own proportions.
QImage readerDrawing(const QString& file, const QSize& size) {
    QImageReader reader(file);
    QSize drawn = reader.size();
    if (!drawn.isValid())
        return {};
    drawn.scale(size, Qt::KeepAspectRatio);
    reader.setScaledSize(drawn);
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

/// Glyph files of the icon theme by name, as the theme looks them up.
struct ThemeGlyphs {
    explicit ThemeGlyphs(int count)
        : files(themeGlyphFiles(count)) {
        for (const QString& file : files) {
            const QString name = QFileInfo(file).completeBaseName();
            fileByName.insert(name, file);
            names.append(name);
        }
    }
    GlyphDocuments::Resolver resolver() const {
        return [fileByName = fileByName](const QString& name) { return fileByName.value(name); };
    }

    QStringList files;
    QStringList names;
    QHash<QString, QString> fileByName;
};

} // namespace

TEST(GlyphDocuments, DrawsTheSamePixelsAsTheImageReaderAtEverySize) {
    const QStringList files = themeGlyphFiles(60);
    ASSERT_GE(files.size(), 20) << "the icon theme's glyphs are not installed";
    GlyphDocuments documents;
    for (const QString& file : files) {
        for (const QSize size : {QSize(11, 11), QSize(16, 16), QSize(22, 22), QSize(33, 33), QSize(40, 20)}) {
            const QImage expected = readerDrawing(file, size);
            const QImage drawn = documents.draw(file, size);
            ASSERT_FALSE(expected.isNull()) << file.toStdString();
            EXPECT_EQ(drawn, expected) << file.toStdString() << " at " << size.width() << "x" << size.height();
        }
    }
}

TEST(GlyphDocuments, FilesParsedAheadDrawAsFilesParsedWhenDrawn) {
    const ThemeGlyphs glyphs(80);
    ASSERT_GE(glyphs.files.size(), 20);
    GlyphDocuments ahead;
    ahead.prefetch(glyphs.names + QStringList{QStringLiteral("no-such-glyph")},
                   glyphs.resolver()); // one resolves to nothing
    GlyphDocuments whenDrawn;
    // Drawn at once, from the end: some files are still waiting for the thread, one is being parsed, some are done.
    for (auto it = glyphs.files.crbegin(); it != glyphs.files.crend(); ++it)
        EXPECT_EQ(ahead.draw(*it, QSize(22, 22)), whenDrawn.draw(*it, QSize(22, 22))) << it->toStdString();
}

TEST(GlyphDocuments, FilesThatAreNoPictureDrawNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString broken = dir.filePath(QStringLiteral("broken.svg"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\"><path d=\"M0 0 L16");
    file.close();
    const QString empty = dir.filePath(QStringLiteral("empty.svg"));
    QFile(empty).open(QIODevice::WriteOnly);

    GlyphDocuments documents;
    documents.prefetch({QStringLiteral("empty")},
                       [&dir](const QString& name) { return dir.filePath(name + QStringLiteral(".svg")); });
    EXPECT_TRUE(documents.draw(dir.filePath(QStringLiteral("missing.svg")), QSize(16, 16)).isNull());
    EXPECT_TRUE(documents.draw(empty, QSize(16, 16)).isNull());
    EXPECT_TRUE(documents.draw(empty, QSize(16, 16)).isNull()); // known now, still nothing
    const QImage partial = documents.draw(broken, QSize(16, 16));
    EXPECT_EQ(partial.isNull(), readerDrawing(broken, QSize(16, 16)).isNull());
}

TEST(GlyphDocuments, StopsWhileTheThreadIsParsingAndParsesAgainAfterwards) {
    const ThemeGlyphs glyphs(200);
    ASSERT_GE(glyphs.files.size(), 20);
    for (int round = 0; round < 5; ++round) {
        auto documents = std::make_unique<GlyphDocuments>();
        documents->prefetch(glyphs.names, glyphs.resolver());
        documents.reset(); // stops after the file it is at, without parsing the rest
    }
    // Let go of everything while the thread is at work, as the application's end does; then asked again.
    GlyphDocuments documents;
    documents.prefetch(glyphs.names, glyphs.resolver());
    const QImage before = documents.draw(glyphs.files.first(), QSize(16, 16));
    documents.clear();
    documents.prefetch(glyphs.names, glyphs.resolver());
    GlyphDocuments reference;
    EXPECT_EQ(documents.draw(glyphs.files.first(), QSize(16, 16)), before);
    for (const QString& file : glyphs.files)
        EXPECT_EQ(documents.draw(file, QSize(16, 16)), reference.draw(file, QSize(16, 16))) << file.toStdString();
}
