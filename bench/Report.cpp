// Report.cpp -- the benchmark's table and its JSON twin, and a description of the machine it ran on.
#include "Report.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <thread>

#include <epoxy/gl.h>

namespace {

std::string firstLine(const char* path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string cpuModel() {
    std::ifstream file("/proc/cpuinfo");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("model name", 0) != 0) continue;
        const size_t colon = line.find(':');
        return colon == std::string::npos ? line : line.substr(colon + 2);
    }
    return "unknown";
}

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "unknown";
}

std::string fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

const char* verdict(bool met) { return met ? "met" : "NOT met"; }

double fps(double milliseconds) { return milliseconds > 0.0 ? 1000.0 / milliseconds : 0.0; }


std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void jsonTally(std::ostream& out, const char* name, const DrawTally& tally) {
    out << quoted(name) << ": {\"draws\": " << tally.draws << ", \"triangles\": " << tally.triangles << "}";
}

void printStartup(const StartupResult& s, std::ostream& out) {
    out << "start-up                        seconds   resident MB added\n";
    struct Phase {
        const char* name;
        double seconds;
        double megabytes;
    };
    const Phase phases[] = {{"exec to main", s.beforeMain, -1.0},
                            {"window and context", s.window, s.windowMemory},
                            {"shaders", s.shaders, s.shadersMemory},
                            {"models", s.models, s.modelsMemory},
                            {"textures", s.textures, s.texturesMemory},
                            {"  of which mipmap generation", s.mipmapGeneration, -1.0},
                            {"  of which pixel upload", s.textureUpload, -1.0},
                            {"sounds", s.sounds, s.soundsMemory},
                            {"  of which file decoding", s.soundDecoding, -1.0},
                            {"world (the rest)", s.world, s.worldMemory},
                            {"first frame", s.firstFrame, s.firstFrameMemory}};
    for (const Phase& phase : phases) {
        out << "  " << std::left << std::setw(30) << phase.name << fixed(phase.seconds, 3);
        if (phase.megabytes >= -0.5) out << std::right << std::setw(12) << fixed(phase.megabytes, 1);
        out << std::left << "\n";
    }
    out << "  " << std::setw(30) << "to first presented frame" << fixed(s.total, 3) << "   target <= "
        << fixed(startupTargetSeconds, 1) << " s: " << verdict(s.total <= startupTargetSeconds) << "\n"
        << "  " << std::setw(30) << "processor time to then" << fixed(s.cpuSeconds, 3)
        << "   (all threads; load-independent)\n\n";
}

}  // namespace

std::string loadAverage() {
    std::istringstream fields(firstLine("/proc/loadavg"));
    std::string one, five, fifteen;
    fields >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

Machine describeMachine() {
    Machine machine;
    machine.cpu = cpuModel();
    machine.cores = static_cast<int>(std::thread::hardware_concurrency());
    machine.glRenderer = glString(GL_RENDERER);
    machine.glVersion = glString(GL_VERSION);
    char date[32] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    machine.date = date;
    return machine;
}

void printTable(const BenchReport& r, std::ostream& out) {
    const Machine& m = r.machine;
    const StartupResult& s = r.startup;
    out << "\nOmnivex benchmark, " << m.date << "\n"
        << "machine: " << m.cpu << ", " << m.cores << " cores; " << m.glRenderer << " (" << m.glVersion << ")\n"
        << "load average (1, 5, 15 min): " << m.loadBefore << " at start, " << m.loadAfter << " at end\n";
    if (!r.whatIf.empty()) out << "WHAT-IF, not the game as it is: " << r.whatIf << "\n";
    out << "\n";

    if (s.total > 0.0) printStartup(s, out);


    if (!r.views.empty())
        out << "frames at 1200 x 800, swap interval 0         scale  median ms  p95 ms   fps   update  render"
               "  present  cpu ms  people\n";
    for (const ViewResult& v : r.views) {
        const FrameSeries& f = v.series;
        const double target = v.view.targetFps;
        out << "  " << std::left << std::setw(42) << v.view.name << std::right << std::setw(6) << fixed(v.scale, 2)
            << std::setw(9) << fixed(f.frameMedian, 2)
            << std::setw(8) << fixed(f.frameP95, 2) << std::setw(7) << fixed(fps(f.frameMedian), 1) << std::setw(8)
            << fixed(f.updateMedian, 2) << std::setw(8) << fixed(f.renderMedian, 2) << std::setw(9)
            << fixed(f.presentMedian, 2) << std::setw(8) << fixed(f.cpuPerFrame, 1) << std::setw(8) << f.people
            << "   target >= " << fixed(target, 0)
            << " fps: " << verdict(fps(f.frameMedian) >= target);
        if (f.glErrors) out << "  (" << f.glErrors << " frames with a GL error)";
        out << "\n";
    }

    if (!r.trace.empty()) {
        out << "\nautomatic render scale in the play view, second by second\n"
            << "  second  scale  median ms  frames\n";
        int changes = 0, changesAfterTen = 0;
        double secondStart = 0.0;
        for (const TracePoint& p : r.trace) {
            out << std::right << std::setw(8) << fixed(p.second, 1) << std::setw(7) << fixed(p.scale, 2) << std::setw(11)
                << fixed(p.frameMedian, 2) << std::setw(8) << p.frames << "\n";
            changes += p.changes;
            changesAfterTen += secondStart >= 10.0 ? p.changes : 0;
            secondStart = p.second;
        }
        out << "  changes of scale: " << changes << ", of them after the first 10 s: " << changesAfterTen << "\n";
    }

    if (!r.views.empty()) out << "\ndraws per frame                        colour pass            object-id pass\n"
        << "                                       draws  triangles       draws  triangles\n";
    for (const ViewResult& v : r.views) {
        const FrameDraws& d = v.draws;
        out << "  " << std::left << std::setw(36) << v.view.name << std::right << std::setw(7) << d.passes[0].draws
            << std::setw(11) << d.passes[0].triangles << std::setw(12) << d.passes[1].draws << std::setw(11)
            << d.passes[1].triangles << "\n";
    }
    for (const ViewResult& v : r.views) {
        if (v.byModel.empty()) continue;
        out << "\n  by model, " << v.view.name << "\n";
        bool costs = false;
        for (const ModelDraws& md : v.byModel) costs = costs || md.costMs >= 0.0;
        for (const ModelDraws& md : v.byModel) {
            out << "    " << std::left << std::setw(34) << md.model << std::right << std::setw(7) << md.colour.draws
                << std::setw(11) << md.colour.triangles << std::setw(12) << md.objectId.draws << std::setw(11)
                << md.objectId.triangles;
            if (costs) out << "   costs " << fixed(md.costMs, 1) << " cpu ms";
            out << "\n";
        }
    }

    const UpdateResult& u = r.update;
    if (u.repetitions > 0) out << "\nupdate step (Google Benchmark, " << u.repetitions << " worlds x " << u.updates
        << " steps of 1/60 s, " << fixed(u.people, 0) << " people)\n"
        << "  mean per step, median of worlds   " << fixed(u.meanMicroseconds, 1) << " us (best "
        << fixed(u.bestMicroseconds, 1) << ")   target <= " << fixed(updateTargetMicroseconds, 0)
        << " us: " << verdict(u.meanMicroseconds <= updateTargetMicroseconds) << "\n";
    else out << "\n(update step not measured in this run)\n";
    if (r.residentAfterViews > 0.0)
        out << "\nresident after the views            " << fixed(r.residentAfterViews, 1) << " MB ("
            << fixed(r.anonymousAfterViews, 1) << " heap and driver, " << fixed(r.fileAfterViews, 1)
            << " mapped files and libraries)";
    out << "\npeak memory (ru_maxrss), this run    " << fixed(r.peakMemoryMegabytes, 1) << " MB";
    if (r.gamePeakMemoryMegabytes > 0.0)
        out << "\npeak memory, the game alone         " << fixed(r.gamePeakMemoryMegabytes, 1) << " MB   target <= "
            << fixed(memoryTargetMegabytes, 0) << " MB: "
            << verdict(r.gamePeakMemoryMegabytes <= memoryTargetMegabytes);
    out << "\n";
}

void writeJson(const BenchReport& r, std::ostream& out) {
    const Machine& m = r.machine;
    const StartupResult& s = r.startup;
    out << "{\n  \"machine\": {\"cpu\": " << quoted(m.cpu) << ", \"cores\": " << m.cores
        << ", \"glRenderer\": " << quoted(m.glRenderer) << ", \"glVersion\": " << quoted(m.glVersion)
        << ", \"loadBefore\": " << quoted(m.loadBefore) << ", \"loadAfter\": " << quoted(m.loadAfter)
        << ", \"date\": " << quoted(m.date) << "},\n";
    out << "  \"whatIf\": " << quoted(r.whatIf) << ",\n";
    out << "  \"startupSeconds\": {\"execToMain\": " << s.beforeMain << ", \"windowAndContext\": " << s.window
        << ", \"shaders\": " << s.shaders << ", \"models\": " << s.models << ", \"textures\": " << s.textures
        << ", \"sounds\": " << s.sounds << ", \"world\": " << s.world << ", \"firstFrame\": " << s.firstFrame
 << ", \"mipmapGeneration\": " << s.mipmapGeneration
        << ", \"textureUpload\": " << s.textureUpload
        << ", \"soundDecoding\": " << s.soundDecoding << ", \"total\": " << s.total
        << ", \"cpuSeconds\": " << s.cpuSeconds
        << ", \"target\": " << startupTargetSeconds << "},\n";
    out << "  \"startupResidentMegabytes\": {\"windowAndContext\": " << s.windowMemory << ", \"shaders\": "
        << s.shadersMemory << ", \"models\": " << s.modelsMemory << ", \"textures\": " << s.texturesMemory
        << ", \"sounds\": " << s.soundsMemory << ", \"world\": " << s.worldMemory << ", \"firstFrame\": "
        << s.firstFrameMemory << "},\n";
    out << "  \"views\": [\n";
    for (size_t i = 0; i < r.views.size(); ++i) {
        const ViewResult& v = r.views[i];
        const FrameSeries& f = v.series;
        out << "    {\"name\": " << quoted(v.view.name)
            << ", \"frustumCulling\": " << (v.view.frustumCulling ? "true" : "false")
            << ", \"frames\": " << f.frames << ", \"frameMedianMs\": " << f.frameMedian << ", \"frameP95Ms\": "
            << f.frameP95 << ", \"frameMinMs\": " << f.frameMin << ", \"fpsMedian\": " << fps(f.frameMedian)
            << ", \"updateMedianMs\": " << f.updateMedian << ", \"renderMedianMs\": " << f.renderMedian
            << ", \"presentMedianMs\": " << f.presentMedian << ", \"cpuPerFrameMs\": " << f.cpuPerFrame
            << ", \"people\": " << f.people
            << ", \"framesWithGlError\": " << f.glErrors << ", \"targetFps\": "
            << v.view.targetFps << ", \"plainFrame\": " << (v.view.plain ? "true" : "false")
            << ", \"autoScale\": " << (v.view.autoScale ? "true" : "false") << ", \"renderScale\": " << v.scale
            << ", \"settleSeconds\": " << v.settleSeconds << ",\n     ";
        jsonTally(out, "colourPass", v.draws.passes[0]);
        out << ", ";
        jsonTally(out, "objectIdPass", v.draws.passes[1]);
        out << ",\n     \"byModel\": [";
        for (size_t k = 0; k < v.byModel.size(); ++k) {
            const ModelDraws& md = v.byModel[k];
            out << (k ? ",\n       " : "\n       ") << "{\"model\": " << quoted(md.model) << ", ";
            jsonTally(out, "colourPass", md.colour);
            out << ", ";
            jsonTally(out, "objectIdPass", md.objectId);
            if (md.costMs >= 0.0) out << ", \"costMs\": " << md.costMs;
            out << "}";
        }
        out << "]}" << (i + 1 < r.views.size() ? "," : "") << "\n";
    }
    out << "  ],\n";
    const UpdateResult& u = r.update;
    out << "  \"update\": {\"meanMicroseconds\": " << u.meanMicroseconds << ", \"bestMicroseconds\": "
        << u.bestMicroseconds << ", \"people\": " << u.people << ", \"stepsPerWorld\": " << u.updates
        << ", \"worlds\": " << u.repetitions << ", \"targetMicroseconds\": " << updateTargetMicroseconds << "},\n";
    out << "  \"residentAfterViewsMegabytes\": " << r.residentAfterViews << ", \"anonymousAfterViewsMegabytes\": "
        << r.anonymousAfterViews << ", \"fileAfterViewsMegabytes\": " << r.fileAfterViews << ",\n";
    out << "  \"peakMemoryMegabytes\": " << r.peakMemoryMegabytes << ",\n  \"gamePeakMemoryMegabytes\": "
        << r.gamePeakMemoryMegabytes << ",\n  \"peakMemoryTargetMegabytes\": "
        << memoryTargetMegabytes << "\n}\n";
}
