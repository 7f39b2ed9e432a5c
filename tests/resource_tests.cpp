// The resources inside the built update.exe: the dialog template, the version block, the manifest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/program.h"

namespace {

// Reads a DLGTEMPLATEEX and its items.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : p_(data), start_(data) {}
  WORD Word() { WORD v = *reinterpret_cast<const WORD*>(p_); p_ += 2; return v; }
  DWORD Dword() { DWORD v = *reinterpret_cast<const DWORD*>(p_); p_ += 4; return v; }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() { return *p_++; }
  // A string or an ordinal; ordinals come back as "#number".
  std::wstring SzOrOrd() {
    if (*reinterpret_cast<const WORD*>(p_) == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text;
    while (WORD c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignDword() { p_ = start_ + ((p_ - start_ + 3) & ~3); }
  void Skip(size_t n) { p_ += n; }

 private:
  const BYTE* p_;
  const BYTE* start_;
};

struct Item {
  DWORD style;
  short x, y, cx, cy;
  DWORD id;
  std::wstring windowClass, title;
};

std::wstring Wide(const char* shiftJis) {
  wchar_t text[256];
  MultiByteToWideChar(932, 0, shiftJis, -1, text, 256);
  return text;
}

class ResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(program::BuiltProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module_) << program::BuiltProgram() << " error " << GetLastError();
  }
  void TearDown() override { FreeLibrary(module_); }
  const BYTE* Resource(LPCSTR type, LPCSTR name, WORD language, DWORD* size) {
    HRSRC found = FindResourceExA(module_, type, name, language);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module_, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
  }
  HMODULE module_ = nullptr;
};

}  // namespace

TEST_F(ResourceTest, TheUpdateDialogTemplate) {
  DWORD size = 0;
  const BYTE* data = Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_UPDATE),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &size);
  ASSERT_NE(nullptr, data) << "no Japanese dialog 105";
  TemplateReader in(data);
  ASSERT_EQ(1, in.Word());
  ASSERT_EQ(0xFFFF, in.Word());
  in.Dword();  // help id
  in.Dword();  // extended style
  DWORD style = in.Dword();
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT), style);
  WORD count = in.Word();
  in.Short();
  in.Short();
  EXPECT_EQ(187, in.Short());
  EXPECT_EQ(51, in.Short());
  in.SzOrOrd();  // menu
  in.SzOrOrd();  // class
  in.SzOrOrd();  // caption placeholder
  EXPECT_EQ(9, in.Word()) << "point size";
  in.Word();
  in.Byte();
  in.Byte();
  EXPECT_EQ(Wide("ＭＳ Ｐゴシック"), in.SzOrOrd());

  struct Want {
    DWORD id;
    const wchar_t* windowClass;
    std::wstring title;
    DWORD style;
    short x, y, cx, cy;
  } want[] = {
      {IDC_UPDATE, L"#128", Wide("アップデート"), BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_CHILD, 7, 30, 78, 14},
      {IDCANCEL, L"#128", Wide("ｷｬﾝｾﾙ"), BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_CHILD, 102, 30, 78, 14},
      {IDC_MESSAGE, L"#130", L"", SS_LEFT | WS_VISIBLE | WS_GROUP | WS_CHILD, 7, 7, 173, 20},
  };
  ASSERT_EQ(3, count);
  for (const Want& w : want) {
    SCOPED_TRACE(w.id);
    in.AlignDword();
    in.Dword();
    in.Dword();
    Item item;
    item.style = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = in.Dword();
    item.windowClass = in.SzOrOrd();
    item.title = in.SzOrOrd();
    in.Skip(in.Word());
    EXPECT_EQ(w.id, item.id);
    EXPECT_EQ(w.windowClass, item.windowClass);
    if (!w.title.empty()) {
      EXPECT_EQ(w.title, item.title);
    }
    EXPECT_EQ(w.style, item.style);
    EXPECT_EQ(w.x, item.x);
    EXPECT_EQ(w.y, item.y);
    EXPECT_EQ(w.cx, item.cx);
    EXPECT_EQ(w.cy, item.cy);
  }
}

TEST_F(ResourceTest, TheIconVersionAndManifest) {
  DWORD size = 0;
  EXPECT_NE(nullptr, Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &size));

  const BYTE* version = Resource(RT_VERSION, MAKEINTRESOURCEA(1), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &size);
  ASSERT_NE(nullptr, version);
  std::vector<BYTE> copy(version, version + size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(1, 1), fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(0, 1), fixed->dwProductVersionMS);
  EXPECT_EQ(MAKELONG(1, 1), fixed->dwProductVersionLS);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &fixedSize));
  EXPECT_EQ(0x411, translation[0]) << "a Japanese version block";

  const BYTE* manifest = nullptr;
  for (WORD language : {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)})
    if (!manifest) manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1), language, &size);
  ASSERT_NE(nullptr, manifest);
  std::string text(reinterpret_cast<const char*>(manifest), size);
  EXPECT_NE(std::string::npos, text.find("level=\"requireAdministrator\""));
  EXPECT_NE(std::string::npos, text.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}")) << "Windows Vista";
  EXPECT_NE(std::string::npos, text.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << "Windows 7";
}
