#pragma once

#include <QString>

// The name a conversion writes its result under, free of every file already in the output
// folder and of every name that a conversion still running has reserved: a result never
// replaces a file that its own conversion did not make. The wanted name gives way to the
// first free one of "name(1)", "name(2)" and so on, as desktop programs do. The name stays
// reserved for as long as the object lives, so that rows started together cannot pick the
// same one before either has written it. A folder is one folder however it is spelt (through
// a link, say), as it is for the check of a result.
//
// An engine that writes each page as a file of its own names them after the result, as
// "name-1.png", "name-2.png" and so on; with numberedPages those names must be free as well.
// The folder is then read once a search, whatever the number of names tried: thousands of
// earlier pictures there take milliseconds.
class ReservedOutputName
{
public:
    ReservedOutputName(const QString &folder, const QString &wantedName, const QString &suffix,
                       bool numberedPages);
    ~ReservedOutputName();
    ReservedOutputName(const ReservedOutputName &) = delete;
    ReservedOutputName &operator=(const ReservedOutputName &) = delete;

    // The name without folder and suffix, and the whole path: folder + "/" + name + suffix.
    QString name() const { return m_name; }
    QString path() const { return m_path; }

private:
    QString m_name;
    QString m_path;
};
