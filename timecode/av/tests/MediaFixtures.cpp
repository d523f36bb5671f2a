#include "timecode/av/tests/MediaFixtures.h"

#include "timecode/av/MovieByteSource.h"
#include "timecode/av/MovieStructure.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace timecode::test {

namespace fs = std::filesystem;

namespace {

// Runs the program with the arguments; its standard output lands in `output` (when given) and
// its standard error in `log`. Answers the exit status.
int run(const std::vector<std::string> &command, const fs::path &log, std::string *output) {
    std::vector<char *> argv;
    for (const std::string &argument : command) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output != nullptr) {
        if (::pipe(pipeEnds) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output != nullptr) {
        ::close(pipeEnds[1]);
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
            output->append(buffer, static_cast<size_t>(n));
        }
        ::close(pipeEnds[0]);
    }
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + command.front());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path fixtureFolder() {
    const fs::path folder = TIMECODE_AV_FIXTURES;
    fs::create_directories(folder);
    return folder;
}

// The movie ffmpeg makes with the arguments (inputs and options; the output is added), made
// once: written under a private name and renamed into place, so tests running side by side
// never see half a file.
fs::path made(const std::string &name, const std::vector<std::string> &arguments) {
    std::string key;
    for (const std::string &argument : arguments) {
        key.append(argument).push_back('\n');
    }
    std::ostringstream hash;
    hash << std::hex << std::hash<std::string>{}(key);
    const fs::path extension = fs::path(name).extension();
    const fs::path file =
        fixtureFolder() / (fs::path(name).stem().string() + "-" + hash.str() + extension.string());
    if (fs::exists(file)) {
        return file;
    }
    const fs::path partial = file.string() + "." + std::to_string(::getpid()) + extension.string();
    const fs::path log = file.string() + "." + std::to_string(::getpid()) + ".log";
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.push_back(partial.string());
    if (run(command, log, nullptr) != 0) {
        throw std::runtime_error("ffmpeg failed making " + name + ": " + fileBytes(log));
    }
    fs::remove(log);
    fs::rename(partial, file);
    return file;
}

// A small test pattern at the rate for the seconds, then the options.
std::vector<std::string> testPattern(const std::string &rate, const std::string &seconds,
                                     const std::vector<std::string> &options = {}) {
    std::vector<std::string> arguments = {
        "-f",   "lavfi", "-i", "testsrc2=size=32x32:rate=" + rate + ":duration=" + seconds,
        "-c:v", "mpeg4"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

} // namespace

namespace fixtures {

fs::path timecode25() {
    return made("timecode25.mov", testPattern("25", "2", {"-timecode", "10:00:00:00"}));
}

fs::path timecode2997Drop() {
    return made("timecode2997drop.mov",
                testPattern("30000/1001", "2", {"-timecode", "00:00:00;00"}));
}

fs::path timecode2997() {
    return made("timecode2997.mov", testPattern("30000/1001", "2", {"-timecode", "00:00:00:00"}));
}

fs::path noTimecode25() {
    return made("notimecode25.mov",
                testPattern("25", "2", {"-timecode", "10:00:00:00", "-write_tmcd", "0"}));
}

fs::path interlaced25() {
    // The MPEG-2 encoder codes the fields; the muxer then writes the 'fiel' box.
    return made("interlaced25.mov", {"-f", "lavfi", "-i", "testsrc2=size=32x32:rate=25:duration=1",
                                     "-vf", "setfield=tff", "-flags", "+ilme+ildct", "-field_order",
                                     "tt", "-c:v", "mpeg2video"});
}

fs::path audioOnly() {
    return made("audioonly.mov",
                {"-f", "lavfi", "-i", "sine=duration=1:sample_rate=8000", "-c:a", "pcm_s16le"});
}

fs::path nearMidnight25() {
    return made("nearmidnight25.mov",
                testPattern("25", "120", {"-g", "3000", "-timecode", "23:59:00:00"}));
}

fs::path mpeg4Timecode25() {
    return made("timecode25.mp4", testPattern("25", "2", {"-timecode", "10:00:00:00"}));
}

fs::path fastStart25() {
    return made("faststart25.mov",
                testPattern("25", "2", {"-timecode", "10:00:00:00", "-movflags", "+faststart"}));
}

fs::path mpeg4FastStart25() {
    return made("faststart25.mp4",
                testPattern("25", "2", {"-timecode", "10:00:00:00", "-movflags", "+faststart"}));
}

fs::path fragmented() {
    return made("fragmented.mp4",
                testPattern("25", "1", {"-movflags", "frag_keyframe+empty_moov"}));
}

fs::path dayLong() {
    return made("daylong.mov", testPattern("1/3600", "90000"));
}

} // namespace fixtures

fs::path copyInto(const ScratchFolder &folder, const fs::path &file) {
    const fs::path copy = folder.path() / file.filename();
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    return copy;
}

std::string fileBytes(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

nlohmann::json probedStreams(const fs::path &file) {
    std::string output;
    const fs::path log = fixtureFolder() / ("ffprobe." + std::to_string(::getpid()) + ".log");
    const int status = run(
        {"ffprobe", "-v", "error", "-show_streams", "-of", "json", file.string()}, log, &output);
    const std::string errors = fileBytes(log);
    fs::remove(log);
    if (status != 0 || !errors.empty()) {
        throw std::runtime_error("ffprobe failed on " + file.string() + ": " + errors);
    }
    return nlohmann::json::parse(output).at("streams");
}

std::string packetDigests(const fs::path &file) {
    std::string output;
    const fs::path log = fixtureFolder() / ("ffmpeg." + std::to_string(::getpid()) + ".log");
    const int status = run({"ffmpeg", "-nostdin", "-v", "error", "-i", file.string(), "-map",
                            "0:v?", "-map", "0:a?", "-c", "copy", "-f", "framemd5", "-"},
                           log, &output);
    const std::string errors = fileBytes(log);
    fs::remove(log);
    if (status != 0 || !errors.empty()) {
        throw std::runtime_error("ffmpeg failed on " + file.string() + ": " + errors);
    }
    return output;
}

MovieBox movieBoxOf(const fs::path &file) {
    return MovieStructure::read(FileByteSource(file)).movie;
}

std::string errorText(const std::function<void()> &function) {
    try {
        function();
    } catch (const std::exception &error) {
        return error.what();
    }
    return {};
}

void rewriteMovieBox(const fs::path &file, const std::function<void(MovieBox &)> &edit) {
    const MovieStructure structure = MovieStructure::read(FileByteSource(file));
    MovieBox movie = structure.movie;
    edit(movie);
    std::string bytes = fileBytes(file);
    bytes.replace(structure.movieBox().offset + 4, 4, "free");
    const std::vector<uint8_t> appended = movie.serialized();
    bytes.append(appended.begin(), appended.end());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace timecode::test
