#pragma once
// Each user's own Par.mdb. The Par.mdb shipped with the program is a read-only template (beside
// the executable in the build folder, under share/kovapost/ when installed); at the first start
// it is copied into the user's data folder, and from then on the program reads and writes that
// copy only.
//
// Who owns what in the copy: the tables 默认 (options), 内容 (box texts, chosen size) and 格式
// (the user's formats) belong to the user and are never touched once the copy exists. Every
// other table of the template (邮编, the shipped default formats, whatever a later version adds)
// is shipped data: when the template differs from the one the copy was last brought up to date
// with, those tables are replaced in the copy by the template's, in one transaction. The build
// stamps the template with a hash of its text sources (its user_version); the copy keeps the
// stamp it was last brought up to date with, so a rebuild of the same sources changes nothing.
//
// A copy is never overwritten or deleted: a new copy is written under a temporary name and
// renamed only when whole, and a damaged copy is left where it is for the user to keep.

#include <QString>

namespace DataBase {

// Where the template was found; empty when there is none.
QString TemplatePath();
// The user's copy: Par.mdb in the user's data folder (~/.local/share/kovapost on Linux).
QString UserCopyPath();

// What preparing the copy came to: the file to work on and, when something went wrong, what
// to tell the user (empty when all went well).
struct Preparation {
  QString path;
  bool readOnly = false;  // the template itself, because the copy could not be used
  QString problem;
  // The copy works as it is, only the newer template's tables could not be put in; the next
  // start tries again. Nothing stops for it.
  bool stale = false;
};

// Makes the copy from the template when there is none, or brings its shipped tables up to date
// when the template changed. When the copy cannot be made or read, the template is used
// read-only in its place, so the program runs with the shipped defaults and every save fails
// visibly; without a template the copy's path is returned as it is.
Preparation PrepareUserCopy(const QString& templatePath, const QString& copyPath);

// Prepares the user's copy from the found template, chooses it as the database and returns
// the preparation: its problem is what to tell the user, empty when all went well.
Preparation UseUserCopy();

}  // namespace DataBase
