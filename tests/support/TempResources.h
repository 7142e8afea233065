#pragma once
// A throw-away resources folder for tests: the main bundle points at it while the object lives, so a
// test sees only the small tables, images and profiles it writes itself. Header-only, so that every
// test program can use it.
#include "platform/Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class TempResources
{
public:
    TempResources()
        : m_previous(platform::Bundle::main().resourcePath())
    {
        EXPECT_TRUE(m_dir.isValid());
        platform::Bundle::main().setResourcePath(m_dir.path());
    }
    ~TempResources() { platform::Bundle::main().setResourcePath(m_previous); }
    TempResources(const TempResources &) = delete;
    TempResources &operator=(const TempResources &) = delete;

    QString path() const { return m_dir.path(); }

    // Writes `bytes` to `relativePath` inside the folder, creating folders on the way.
    void write(const QString &relativePath, const QByteArray &bytes) const { writeFile(path() + u'/' + relativePath, bytes); }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path())) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
