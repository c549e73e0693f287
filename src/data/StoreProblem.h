#pragma once

#include "DataError.h"

#include <QString>

#include <exception>

// What is wrong with the database file, found from the engine's answer and the file
// itself, and the words the user is told about it. Every message about the file's
// state, at start-up and while the program runs, is worded here and nowhere else.
class StoreProblem {
public:
    enum class Kind {
        Missing,      // no file at the path
        PathTooLong,  // the engine cannot open a path that long
        Unreadable,   // the permissions do not let the user read it
        Locked,       // another program holds a lock on it
        Empty,        // zero bytes: not a database made by Cartlist
        NotADatabase, // some other kind of file
        Damaged,      // a database, but damaged (truncated, overwritten)
        NotCartlist,  // a database without Cartlist's tables or columns
        ReadOnly,     // may be read but not written
        Interrupted,  // a change was cut off, and undoing it needs a write the user may not make
        FolderName,   // the folder's name is not text the program can use as a path
        Other,        // anything else: the engine's words
    };

    // The full path of a file the engine can open is at most this many bytes: SQLite's
    // file layer takes 512, less the room it keeps for the "-journal" ending.
    static constexpr int EngineMaxPathBytes = 504;

    StoreProblem(Kind kind, const QString& path, const QString& detail = {});

    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    QString detail() const { return m_detail; }

    // Why the engine could not open or read the file; `code` is SQLite's result code.
    static StoreProblem ofOpening(const QString& path, int code, const QString& engineText);
    // Why a statement failed on an open file, or Kind::Other with the engine's text.
    static StoreProblem ofStatement(const QString& path, int code, const QString& engineText, bool writing);

    // The message shown when the program cannot start on the file: what is wrong and
    // what to do about it.
    QString startupText() const;
    // The description of a failure while the program runs, shown to the user as it is.
    QString description() const;
    // The file is not a Cartlist database (any more): nothing read from it before holds.
    bool unusable() const;

    // A path as the user can type it into a shell.
    static QString shellQuoted(const QString& text);

private:
    // What is wrong with a file that is no Cartlist database, and how to start afresh.
    QString unusableText(const QString& opening) const;

    Kind m_kind;
    QString m_path;
    QString m_detail;
};

// A DataError that knows what is wrong with the file.
class StoreError : public DataError {
public:
    explicit StoreError(const StoreProblem& problem)
        : DataError(problem.description())
        , m_problem(problem)
    {
    }

    const StoreProblem& problem() const { return m_problem; }
    // Whether `e` says the file is no Cartlist database any more.
    static bool unusable(const std::exception& e)
    {
        const auto* store = dynamic_cast<const StoreError*>(&e);
        return store && store->problem().unusable();
    }

private:
    StoreProblem m_problem;
};
