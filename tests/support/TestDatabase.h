#pragma once

#include "DatabaseMaker.h"

#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>

// A fresh database file made from the schema in a folder of its own, which becomes the
// application folder. Read and write it directly to set up cases and check results.
class TestDatabase {
public:
    explicit TestDatabase(DatabaseMaker::Content content = DatabaseMaker::Content::Empty);
    ~TestDatabase();

    QString folder() const { return m_dir.path(); }
    QString path() const;
    // ConnString as the program builds it for this file.
    QString connectionString() const;

    // Runs one statement; fails the test on error. Returns the last insert id.
    QVariant exec(const QString& sql, const QVariantList& values = {});
    // The first column of every row of a query.
    QVariantList column(const QString& sql, const QVariantList& values = {});
    QVariant scalar(const QString& sql, const QVariantList& values = {});
    int count(const QString& table);

    // Runs statements on any database file through a connection of their own; fails the test on error.
    static void execIn(const QString& file, const QStringList& statements);
    static QVariantList columnIn(const QString& file, const QString& sql);
    // A new Cartlist database at `file` whose catalogue holds the given items.
    static void makeWithItems(const QString& file, const QStringList& items);

private:
    QSqlQuery run(const QString& sql, const QVariantList& values);
    QTemporaryDir m_dir;
    QString m_connection;
};
