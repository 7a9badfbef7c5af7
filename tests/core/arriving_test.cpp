#include "mover/arriving.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "adapters/posix/posix_file_system.h"
#include "temp_dir.h"

namespace veskora {
namespace {

using Names = std::set<std::string>;

// The names of a real folder holding `present` (a trailing "/" makes a
// folder) that count as still arriving.
Names ArrivingAmong(const std::vector<std::string>& present) {
  testing::TempDir dir;
  for (const std::string& name : present) {
    if (name.back() == '/') {
      dir.MakeDir(name.substr(0, name.size() - 1));
    } else {
      testing::WriteFile(dir / name, "x");
    }
  }
  PosixFileSystem files;
  const auto listing = files.List(dir.Path());
  Names arriving;
  for (std::size_t i = 0; listing && i < listing->size(); ++i) {
    if ((*listing)[i].file && StillArriving(*listing, i)) arriving.insert((*listing)[i].name);
  }
  return arriving;
}

TEST(StillArriving, TellsUnfinishedDownloadsFromFinishedFilesByTheNamesBesideThem) {
  const struct {
    const char* what;
    std::vector<std::string> present;
    Names arriving;
  } cases[] = {
      {"Firefox: the placeholder and its partial file; names sorting between them",
       {"a.pdf", "a.pdf (1).pdf", "a.pdf-2", "a.pdf.bak", "a.pdf.part"},
       {"a.pdf", "a.pdf.part"}},
      {"names only unfinished downloads carry (Chromium, WebKitGTK, qBittorrent), alone or beside their file",
       {"Unconfirmed 481516.crdownload", "clip.mp4", "clip.mp4.crdownload", "doc.odt.wkdownload", "film.mkv.!qB"},
       {"Unconfirmed 481516.crdownload", "clip.mp4", "clip.mp4.crdownload", "doc.odt.wkdownload", "film.mkv.!qB"}},
      {"aria2: partial data beside its control file; a stale control file alone",
       {"linux.iso", "linux.iso.aria2", "old.iso.aria2"},
       {"linux.iso", "linux.iso.aria2"}},
      {"a Safari-style folder marks its file; a file of that name marks nothing",
       {"book.epub", "book.epub.download/", "song.mp3", "song.mp3.download"},
       {"book.epub"}},
      {"a marker beyond a long run of names that begin like its file",
       {"f", "f 1", "f 2", "f 3", "f 4", "f 5", "f 6", "f 7", "f 8", "f 9",    "f-",      "f.download/",
        "g", "g 1", "g 2", "g 3", "g 4", "g 5", "g 6", "g 7", "g 8", "g 9",    "g.part/", "g.zip",
        "h", "h 1", "h 2", "h 3", "h 4", "h 5", "h 6", "h 7", "h 8", "h.aria2"},
       {"f", "h", "h.aria2"}},
      {"a lone .part (a paused download), unrelated names, markers beside folders",
       {"archive.part", "notes.txt", "notes.txt.bak", "b.txt", "b.txt.partial", "photos/", "photos.part", "x.aria2/",
        "x"},
       {"archive.part", "photos.part"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ArrivingAmong(c.present), c.arriving) << c.what;
  }
}

}  // namespace
}  // namespace veskora
