#include "shell/profile.h"

static const char* const updateNames[kUpdateListSize + 1] = {
    "img_2.pac", "vox_2.pac", "fx_2.pac", "sfx_2.pac", "bgm_2.pac",
    "scn_2.pac", "scn_3.pac", "scn_4.pac", "scn_5.pac", "scn_6.pac", nullptr};

static const char* installNames[kInstallListSize + 1] = {
    "ExecuteProgram",
    "img.pac", "vox.pac", "fx.pac", "sfx.pac", "bgm.pac", "scn.pac",
    "ogg.dll", "vorbis.dll", "vorbisfile.dll",
    "readme.txt", "uninst.exe",
    "Aimg.pac", "Bimg.pac", "Cimg.pac", "Dimg.pac", "Eimg.pac", "Fimg.pac", "Gimg.pac", "Himg.pac",
    "Config.exe",
    "img_2.pac", "vox_2.pac", "fx_2.pac", "sfx_2.pac", "bgm_2.pac", "scn_2.pac",
    "runlog.txt",
    "video/clip01.mpg", "video/clip02.mpg", "video/clip03.mpg", "video/clip04.mpg",
    "video/clip05.mpg", "video/clip06.mpg", "video/clip07.mpg", "video/clip08.mpg",
    "video/clip09.mpg", "video/clip10.mpg", "video/clip11.mpg", "video/clip12.mpg",
    "video/clip13.mpg", "video/clip14.mpg", "video/clip15.mpg", "video/clip16.mpg",
    "video/clip17.mpg", "video/clip18.mpg", "video/clip19.mpg", "video/clip20.mpg",
    nullptr};

static const char* const volumeLabelNames[] = {"ミラノワ", nullptr};

ProductProfile profile = {
    "ミラノワ　セットアップ",
    "ミラノワ",
    "ピオ",
    "ミラノワ",
    "ミラノワ.exe",
    "SOFTWARE\\ピオ\\ミラノワ",
    updateNames,
    installNames,
    volumeLabelNames,
    2821,
    2821,
    2821,
};
