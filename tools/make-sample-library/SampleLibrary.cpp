#include "tools/make-sample-library/SampleLibrary.h"

namespace tandrel::sample {

namespace {

// One hour of timecode, in frames at the nominal rate.
constexpr int64_t hour(int fps) {
    return int64_t{3600} * fps;
}

std::vector<Role> sampleRoles() {
    return {
        {roles::dialogue,
         "Dialogue",
         {{roles::dialogueBoom, "Boom", {}}, {roles::dialogueLav, "Lav", {}}}},
        {roles::music, "Music", {}},
        {roles::effects, "Effects", {}},
        {roles::video, "Video", {{roles::titles, "Titles", {}}}},
    };
}

Media camera(std::string identifier, std::string file, std::string reel, std::string scene,
             std::string take, int64_t startFrame, FrameRate rate = FrameRate::fps23_976) {
    Media media;
    media.identifier = std::move(identifier);
    media.fileName = std::move(file);
    media.rate = rate;
    media.dropFrame = rate.isDropFrame();
    media.startFrame = startFrame;
    media.durationFrames = 4800;
    media.videoFormatName = rate == FrameRate::fps23_976 ? "1080p2398" : "1080i5994";
    media.reel = std::move(reel);
    media.scene = std::move(scene);
    media.take = std::move(take);
    return media;
}

} // namespace

LibraryDescription standardSampleLibrary() {
    LibraryDescription library;
    library.name = "Sample";

    Media music;
    music.identifier = "MEDIA-THEME-0001";
    music.fileName = "Theme.wav";
    music.rate = FrameRate::fps24;
    music.durationFrames = 2880;
    music.videoFormatName = "";
    music.hasVideo = false;

    Event day1;
    day1.folder = "Day 1";
    day1.roles = sampleRoles();
    day1.media = {
        camera("MEDIA-A001C003-0001", "A001C003_230512.mov", "A001", "12", "3", hour(24)),
        camera("MEDIA-A001C004-0001", "A001C004_230512.mov", "A001", "12", "4", hour(24) + 6000),
        camera("MEDIA-B002C001-0001", "B002C001_230512.mov", "B002", "14", "1", hour(24) * 2),
        music,
    };
    day1.timelines = {
        {"Assembly",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 48, 120, roles::video),
          Clip::of("Arrival (alt)", "MEDIA-A001C004-0001", 0, 96, roles::video), Clip::gap(24),
          Clip::of("Kitchen", "MEDIA-B002C001-0001", 240, 144, roles::video),
          Clip::title("Lower Third", 48)}},
        {"Trailer",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Kitchen", "MEDIA-B002C001-0001", 0, 72, roles::video),
          Clip::of("Arrival", "MEDIA-A001C003-0001", 600, 48, roles::video),
          Clip::of("Theme", "MEDIA-THEME-0001", 0, 120, roles::music)}},
        // An empty placeholder: its edited namesake lives in the nested event "Day 1/Selects".
        {"Edit", "", Timeline::Kind::project, FrameRate::fps23_976, hour(24), {}},
        {"Compound Clip 1",
         "",
         Timeline::Kind::plainSequence,
         FrameRate::fps23_976,
         0,
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 0, 48)}},
    };

    Event selects;
    selects.folder = "Day 1/Selects";
    selects.roles = sampleRoles();
    selects.media = {
        camera("MEDIA-A001C003-0001", "A001C003_230512.mov", "A001", "12", "3", hour(24))};
    selects.timelines = {
        {"Edit",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 0, 96, roles::dialogueBoom),
          Clip::of("Arrival", "MEDIA-A001C003-0001", 300, 72, roles::dialogueLav)}}};

    Event day2;
    day2.folder = "Shoot Days/Day 2";
    day2.roles = sampleRoles();
    day2.media = {
        camera("MEDIA-C003C002-0001", "C003C002_230513.mov", "C003", "21", "2", hour(30) * 2,
               FrameRate::fps29_97df),
        camera("MEDIA-C003C005-0001", "C003C005_230513.mov", "C003", "21A", "5", hour(30) * 2 + 900,
               FrameRate::fps29_97df),
    };
    day2.timelines = {
        {"Interviews",
         "",
         Timeline::Kind::project,
         FrameRate::fps29_97df,
         hour(30),
         {Clip::of("Interview A", "MEDIA-C003C002-0001", 30, 300, roles::dialogueBoom),
          Clip::of("Interview B", "MEDIA-C003C005-0001", 0, 240, roles::dialogueLav),
          Clip::title("Name Super", 90)}},
        {"Review Copy",
         "",
         Timeline::Kind::sharedProject,
         FrameRate::fps29_97df,
         hour(30),
         {Clip::of("Interview A", "MEDIA-C003C002-0001", 0, 150, roles::dialogue)}},
    };

    library.events = {day1, selects, day2};
    return library;
}

} // namespace tandrel::sample
