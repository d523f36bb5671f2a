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
    media.videoFormatName = rate == FrameRate::fps23_976 ? "1080p2398"
                            : rate == FrameRate::fps25   ? "1080p25"
                                                         : "1080i5994";
    media.reel = std::move(reel);
    media.scene = std::move(scene);
    media.take = std::move(take);
    return media;
}

// The 25 fps media of the "Sample" timeline; audio-only media have no picture.
std::vector<Media> sampleTimelineMedia() {
    Media sfx;
    sfx.identifier = media::doorSlam;
    sfx.fileName = "Door Slam.wav";
    sfx.rate = FrameRate::fps25;
    sfx.durationFrames = 250;
    sfx.videoFormatName = "";
    sfx.hasVideo = false;
    Media narration = sfx;
    narration.identifier = media::narration;
    narration.fileName = "Narration.wav";
    narration.durationFrames = 1500;
    return {
        camera(media::a001, "A001_C001.mov", "A001", "1", "1", hour(25), FrameRate::fps25),
        camera(media::a002, "A002_C002.mov", "A002", "1", "2", hour(25) * 2, FrameRate::fps25),
        camera(media::b001, "B001_C003.mov", "B001", "2", "1", hour(25) * 3, FrameRate::fps25),
        sfx,
        narration,
    };
}

// The timeline that walks every path of the resolver, at 25 fps from 10:00:00:00.
Timeline sampleTimeline() {
    using K = Marker::Kind;
    return {
        "Sample",
        "",
        Timeline::Kind::project,
        FrameRate::fps25,
        hour(25) * 10,
        {
            Clip::title("Opening Title", 50).marked({"Act One", K::chapter, 0, "Cold open"}),
            Clip::of("Arrival", media::a001, 100, 100)
                .withNotes("Best take")
                .marked({"Slate", K::standard, 0})
                .marked({"Fix flare", K::todo, 50, std::nullopt, false})
                .connect(Clip::of("Insert Hand", media::b001, 500, 25, roles::video), 25, 1)
                .connect(Clip::of("Wide Insert", media::a002, 1000, 75, roles::video), 50, 2)
                .connect(Clip::of("Door Slam", media::doorSlam, 0, 25, roles::effects), 10, -1),
            Clip::of("Kitchen Slow", media::b001, 200, 50).atSpeed(50),
            Clip::gap(25).connect(
                Clip::of("Narration", media::narration, 0, 50)
                    .withChannelRoles({{roles::dialogueLav, "2"}, {roles::dialogueBoom, "1"}}),
                0, -1),
            Clip::multicam("Stage MC", multicams::stage, "ANGLE-2", 100, 50),
            Clip::compound("Flashback", sequences::flashback, 25, 100),
            Clip::of("Arrival Ramp", media::a001, 1000, 75)
                .ramped({{0, 1000}, {25, 1010}, {75, 1100}}),
            Clip::of("Kitchen Reverse", media::b001, 600, 50).reversed(),
            Clip::of("Push In", media::a002, 1500, 50)
                .transformed({.positionX = 120,
                              .positionY = -40,
                              .scaleX = 1.25,
                              .scaleY = 1.25,
                              .rotation = 12.5})
                .stabilizedClip(),
            Clip::audition("Choice", {Clip::of("Take A", media::a001, 2000, 50),
                                      Clip::of("Take B", media::a002, 2000, 50)}),
            Clip::generator("Color Bars", 25),
            Clip::of("Final", media::a001, 3000, 75)
                .connect(Clip::storyline("Cutaways",
                                         {Clip::of("Cut 1", media::a002, 2500, 25, roles::video),
                                          Clip::of("Cut 2", media::b001, 2500, 50, roles::video)}),
                         0, 1),
        }};
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
    for (Media &item : sampleTimelineMedia()) {
        day1.media.push_back(std::move(item));
    }
    day1.timelines = {
        {"Assembly",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 48, 120, roles::video)
              .connect(Clip::of("Kitchen Cutaway", "MEDIA-B002C001-0001", 300, 48, roles::video),
                       24, 1)
              .connect(Clip::of("Arrival Insert", "MEDIA-A001C004-0001", 120, 36, roles::video), 60,
                       2),
          Clip::of("Arrival (alt)", "MEDIA-A001C004-0001", 0, 96, roles::video), Clip::gap(24),
          Clip::of("Kitchen", "MEDIA-B002C001-0001", 240, 144, roles::video)
              .connect(Clip::storyline("B-Roll", {Clip::of("Arrival Wide", "MEDIA-A001C003-0001",
                                                           900, 24, roles::video),
                                                  Clip::of("Arrival Close", "MEDIA-A001C004-0001",
                                                           400, 36, roles::video)}),
                       24, 1)
              .connect(Clip::of("Theme", "MEDIA-THEME-0001", 0, 144, roles::music), 0, -1),
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
        // Retimes, transforms and stabilisation, one clip each.
        {"Effects",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Slow Arrival", "MEDIA-A001C003-0001", 0, 96, roles::video)
              .atSpeed(50)
              .sampled(6),
          Clip::of("Arrival Ramp", "MEDIA-A001C003-0001", 200, 96, roles::video)
              .ramped({{0, 200}, {48, 224}, {96, 320}}),
          Clip::of("Kitchen Reverse", "MEDIA-B002C001-0001", 400, 72, roles::video).reversed(),
          Clip::of("Arrival Hold", "MEDIA-A001C003-0001", 500, 48, roles::video).frozen(),
          Clip::of("Kitchen Push", "MEDIA-B002C001-0001", 600, 72, roles::video)
              .transformed({.positionX = 120,
                            .positionY = -40,
                            .scaleX = 1.25,
                            .scaleY = 1.25,
                            .rotation = 12.5}),
          Clip::of("Arrival Steady", "MEDIA-A001C004-0001", 100, 72, roles::video)
              .stabilizedClip()}},
        // Two cuts of the multicam of "Day 1/Selects": angle B (which starts with a gap),
        // then angle A.
        {"Multicam Edit",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::multicam("Kitchen MC", multicams::kitchen, "ANGLE-B", 96, 120, roles::video),
          Clip::multicam("Kitchen MC", multicams::kitchen, "ANGLE-A", 216, 96, roles::video)}},
        {"Compound Clip 1",
         "",
         Timeline::Kind::plainSequence,
         FrameRate::fps23_976,
         0,
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 0, 48)}},
        sampleTimeline(),
    };

    Event selects;
    selects.folder = "Day 1/Selects";
    selects.roles = sampleRoles();
    selects.media = {
        camera("MEDIA-A001C003-0001", "A001C003_230512.mov", "A001", "12", "3", hour(24)),
        camera("MEDIA-B002C001-0001", "B002C001_230512.mov", "B002", "14", "1", hour(24) * 2)};
    for (Media &item : sampleTimelineMedia()) {
        selects.media.push_back(std::move(item));
    }
    selects.multicams = {
        {multicams::kitchen,
         "Kitchen MC",
         FrameRate::fps23_976,
         hour(24),
         {{"ANGLE-A", "Cam A", {Clip::of("Cam A", "MEDIA-A001C003-0001", 0, 480)}},
          {"ANGLE-B",
           "Cam B",
           {Clip::gap(48), Clip::of("Cam B", "MEDIA-B002C001-0001", 100, 432)}}}},
        {multicams::stage,
         "Stage MC",
         FrameRate::fps25,
         0,
         {{"ANGLE-1", "Cam 1", {Clip::of("Cam 1", media::a001, 0, 500)}},
          {"ANGLE-2", "Cam 2", {Clip::gap(25), Clip::of("Cam 2", media::b001, 50, 475)}}}}};
    selects.timelines = {
        {"Edit",
         "",
         Timeline::Kind::project,
         FrameRate::fps23_976,
         hour(24),
         {Clip::of("Arrival", "MEDIA-A001C003-0001", 0, 96, roles::dialogueBoom),
          Clip::of("Arrival", "MEDIA-A001C003-0001", 300, 72, roles::dialogueLav)}},
        // The contents of the "Sample" timeline's compound clip, which lives in "Day 1".
        {"Flashback",
         sequences::flashback,
         Timeline::Kind::plainSequence,
         FrameRate::fps25,
         0,
         {Clip::of("Memory 1", media::a002, 200, 50),
          Clip::of("Memory 2", media::b001, 300, 50).marked({"Flash", Marker::Kind::standard, 10}),
          Clip::of("Memory 3", media::a001, 400, 50)}}};

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

namespace tandrel::sample {

LibraryDescription largeSampleLibrary(int clips) {
    using K = Marker::Kind;
    Event event;
    event.folder = "Day 1";
    event.roles = sampleRoles();
    event.media = sampleTimelineMedia();
    const char *cameras[] = {media::a001, media::a002, media::b001};
    Timeline timeline{"Large", "", Timeline::Kind::project, FrameRate::fps25, hour(25), {}};
    for (int i = 0; i < clips; ++i) {
        if (i % 17 == 16) {
            timeline.spine.push_back(Clip::gap(25));
            continue;
        }
        const int64_t length = 50 + (i % 4) * 25;
        Clip clip = Clip::of("Shot " + std::to_string(i + 1), cameras[i % 3], (i * 37) % 4000,
                             length, roles::video);
        if (i % 5 == 0) {
            clip = clip.connect(Clip::of("Insert " + std::to_string(i + 1), cameras[(i + 1) % 3],
                                         (i * 53) % 4000, 25, roles::video),
                                10, 1);
        }
        if (i % 19 == 0) {
            clip = clip.connect(
                Clip::of("Sound " + std::to_string(i + 1), media::doorSlam, 0, 25, roles::effects),
                0, -1);
        }
        if (i % 7 == 0) {
            clip = clip.marked({"Note " + std::to_string(i + 1), i % 2 ? K::todo : K::standard, 5});
        }
        if (i % 11 == 0) {
            clip = clip.atSpeed(50);
        } else if (i % 13 == 0) {
            const int64_t start = clip.sourceStart;
            clip = clip.ramped({{0, static_cast<double>(start)},
                                {length / 2, static_cast<double>(start + length / 4)},
                                {length, static_cast<double>(start + length)}});
        }
        timeline.spine.push_back(std::move(clip));
    }
    event.timelines = {std::move(timeline)};
    LibraryDescription library;
    library.name = "Large";
    library.events = {std::move(event)};
    return library;
}

} // namespace tandrel::sample
