// The graphics built-ins in process, on SDL's headless "dummy" video driver with its
// software renderer: pixels read back before present, events pushed into SDL's
// queue, start-up failures, and the release of SDL.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics/builtins.hpp"
#include "graphics/drawing.hpp"
#include "graphics/graphics_state.hpp"
#include "graphics/raster.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

using Pixel = std::pair<int, int>;  // x, y
using PixelSet = std::set<Pixel>;

// Sets (or, with null, removes) an environment variable SDL reads.
void set_variable(const char* name, const char* value) {
#if defined(_WIN32)
    // _putenv updates both the C runtime's copy and the process's own environment.
    _putenv((std::string(name) + "=" + (value != nullptr ? value : "")).c_str());
#else
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

void use_headless_video() {
    set_variable("SDL_VIDEODRIVER", "dummy");
    set_variable("SDL_RENDER_DRIVER", nullptr);
    set_variable("SDL_RENDER_LINE_METHOD", nullptr);
}

// A long-lived interpreter that runs snippets of Quenra one after another.
class Session {
public:
    Session() : interpreter_(std::make_unique<Interpreter>(symbols_)) {
        graphics::provide_builtins();
    }

    void run(std::string_view source) {
        programs_.push_back(parse(tokenize(source), symbols_));
        interpreter_->prepare();
        interpreter_->execute_sequence(programs_.back().statements);
    }

    Value value_of(std::string_view expression) {
        run(std::string("let probe_result = ") + std::string(expression));
        return interpreter_->lookup(symbols_.intern("probe_result"));
    }

    GraphicsState* graphics() { return interpreter_->graphics(); }
    void end() { interpreter_.reset(); }

    // The canvas in ARGB, read back from the renderer.
    std::vector<Uint32> frame(int& width, int& height) {
        SDL_Renderer* renderer = graphics()->renderer;
        SDL_GetRendererOutputSize(renderer, &width, &height);
        std::vector<Uint32> pixels(static_cast<std::size_t>(width * height));
        EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                       width * 4),
                  0);
        return pixels;
    }

    // Every pixel that is not black.
    PixelSet lit() {
        int width, height;
        std::vector<Uint32> pixels = frame(width, height);
        PixelSet out;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFFu) != 0)
                    out.insert({x, y});
            }
        }
        return out;
    }

    // Lit pixels after clearing and running `source`.
    PixelSet lit_by(std::string_view source) {
        run("clear()");
        run(source);
        return lit();
    }

private:
    SymbolTable symbols_;
    std::vector<ParseResult> programs_;
    std::unique_ptr<Interpreter> interpreter_;
};

class Graphics : public ::testing::Test {
protected:
    void SetUp() override { use_headless_video(); }
};

// A session with a window of 200 by 150 and the colour c (white).
class Canvas : public Graphics {
protected:
    void SetUp() override {
        Graphics::SetUp();
        session.run("window(200, 150)\nlet c = color(255, 255, 255)");
        ASSERT_NE(session.graphics(), nullptr);
    }
    Session session;
};

PixelSet row(int y, int x_first, int x_last) {
    PixelSet out;
    for (int x = x_first; x <= x_last; ++x) out.insert({x, y});
    return out;
}

PixelSet column(int x, int y_first, int y_last) {
    PixelSet out;
    for (int y = y_first; y <= y_last; ++y) out.insert({x, y});
    return out;
}

PixelSet joined(std::initializer_list<PixelSet> parts) {
    PixelSet out;
    for (const PixelSet& part : parts) out.insert(part.begin(), part.end());
    return out;
}

// Per row, the smallest and largest lit x.
std::vector<std::pair<int, int>> row_extents(const PixelSet& pixels, int height) {
    std::vector<std::pair<int, int>> out(static_cast<std::size_t>(height), {-1, -1});
    for (const Pixel& p : pixels) {
        auto& extent = out[static_cast<std::size_t>(p.second)];
        if (extent.first < 0 || p.first < extent.first) extent.first = p.first;
        if (p.first > extent.second) extent.second = p.first;
    }
    return out;
}

TEST_F(Canvas, SmallCirclesSetExactlyTheirPixels) {
    EXPECT_EQ(session.lit_by("draw(circle(100, 100, 0), c)"), PixelSet({{100, 100}}));
    EXPECT_EQ(session.lit_by("fill(circle(100, 100, 0), c)"), PixelSet({{100, 100}}));
    const PixelSet ring1{{99, 100}, {101, 100}, {100, 99}, {100, 101}};
    EXPECT_EQ(session.lit_by("draw(circle(100, 100, 1), c)"), ring1);
    EXPECT_EQ(session.lit_by("fill(circle(100, 100, 1), c)"), joined({ring1, {{100, 100}}}));
    EXPECT_EQ(session.lit_by("draw(circle(100, 100, 2), c)"), PixelSet({{98, 100},
                                                                        {102, 100},
                                                                        {100, 98},
                                                                        {100, 102},
                                                                        {99, 99},
                                                                        {101, 99},
                                                                        {99, 101},
                                                                        {101, 101}}));
    PixelSet ring5 = session.lit_by("draw(circle(100, 100, 5), c)");
    EXPECT_EQ(ring5.size(), 24u);
    EXPECT_TRUE(ring5.count({105, 101}) && ring5.count({103, 103}));
    EXPECT_TRUE(session.lit_by("draw(circle(0, 0, -1), c)\nfill(circle(0, 0, -1), c)").empty());
}

TEST_F(Canvas, FilledCircleCoversItsOutline) {
    PixelSet outline = session.lit_by("draw(circle(60, 50, 17), c)");
    PixelSet filled = session.lit_by("fill(circle(60, 50, 17), c)");
    auto outer = row_extents(outline, 150);
    auto inner = row_extents(filled, 150);
    EXPECT_EQ(outer, inner);
    // Filled rows are solid.
    std::size_t area = 0;
    for (auto [first, last] : inner)
        area += first < 0 ? 0 : static_cast<std::size_t>(last - first + 1);
    EXPECT_EQ(filled.size(), area);
}

TEST_F(Canvas, TriangleOutlineIsItsThreeLines) {
    PixelSet diagonal;
    for (int k = 0; k <= 10; ++k) diagonal.insert({10 - k, k});
    EXPECT_EQ(session.lit_by("draw(triangle(0, 0, 10, 0, 0, 10), c)"),
              joined({row(0, 0, 10), diagonal, column(0, 0, 10)}));
    // The same segment walked in each direction takes different pixels.
    EXPECT_EQ(session.lit_by("draw(triangle(0, 0, 4, 2, 4, 2), c)"),
              PixelSet({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {3, 2}, {1, 1}}));
}

TEST_F(Canvas, FilledTriangleCoversTheAreaBetweenItsOutline) {
    // With edges along the axes and the diagonals, row by row exactly: flat tops and
    // flat bottoms, in several vertex orders.
    for (const char* shape :
         {"triangle(0, 0, 10, 0, 0, 10)", "triangle(0, 10, 10, 10, 10, 0)",
          "triangle(50, 10, 30, 30, 70, 30)", "triangle(70, 60, 30, 60, 50, 80)",
          "triangle(20, 100, 20, 140, 60, 140)"}) {
        SCOPED_TRACE(shape);
        PixelSet outline = session.lit_by(std::string("draw(") + shape + ", c)");
        PixelSet filled = session.lit_by(std::string("fill(") + shape + ", c)");
        EXPECT_EQ(row_extents(outline, 150), row_extents(filled, 150));
    }
    // Steep slanted edges: the fill truncates where the outline rounds, so a row may
    // end a pixel away from the outline; every row is solid.
    for (const char* shape : {"triangle(5, 5, 60, 5, 30, 70)", "triangle(40, 3, 5, 90, 120, 90)"}) {
        SCOPED_TRACE(shape);
        auto outer = row_extents(session.lit_by(std::string("draw(") + shape + ", c)"), 150);
        PixelSet filled = session.lit_by(std::string("fill(") + shape + ", c)");
        auto inner = row_extents(filled, 150);
        std::size_t area = 0;
        for (std::size_t y = 0; y < inner.size(); ++y) {
            EXPECT_EQ(inner[y].first < 0, outer[y].first < 0) << "row " << y;
            if (inner[y].first < 0) continue;
            EXPECT_LE(std::abs(inner[y].first - outer[y].first), 1) << "row " << y;
            EXPECT_LE(std::abs(inner[y].second - outer[y].second), 1) << "row " << y;
            area += static_cast<std::size_t>(inner[y].second - inner[y].first + 1);
        }
        EXPECT_EQ(filled.size(), area);
    }
    // Row 7 of this one ends at x = 6, in single precision.
    PixelSet filled = session.lit_by("fill(triangle(0, 0, 10, 5, 0, 10), c)");
    EXPECT_EQ(row_extents(filled, 150)[7], std::make_pair(0, 6));
}

TEST_F(Canvas, DegenerateTriangles) {
    EXPECT_TRUE(session.lit_by("fill(triangle(0, 5, 10, 5, 20, 5), c)").empty());
    PixelSet diagonal;
    for (int k = 0; k <= 10; ++k) diagonal.insert({k, k});
    EXPECT_EQ(session.lit_by("fill(triangle(0, 0, 5, 5, 10, 10), c)"), diagonal);
    EXPECT_EQ(session.lit_by("fill(triangle(3, 4, 3, 4, 3, 4), c)"), PixelSet());
    EXPECT_EQ(session.lit_by("draw(triangle(3, 4, 3, 4, 3, 4), c)"), PixelSet({{3, 4}}));
    // One row high: both rows drawn from edge to edge.
    EXPECT_EQ(session.lit_by("fill(triangle(10, 20, 30, 20, 30, 21), c)"),
              joined({row(20, 10, 30), row(21, 30, 30)}));
}

TEST_F(Canvas, FarOutCoordinatesAreExact) {
    // A triangle far larger than the window covers all of it.
    EXPECT_EQ(session
                  .lit_by("fill(triangle(-2000000000, -2000000000, 2000000000, -2000000000, 0, "
                          "2000000000), c)")
                  .size(),
              200u * 150u);
    // A span from the clamp limit to x = 100 ends at 100 (row 1 ends at 128 because
    // the edge is computed in single precision, where 2^30 + 100 is 2^30 + 128).
    EXPECT_EQ(session.lit_by("fill(triangle(-1073741824, 0, 100, 0, 100, 1), c)"),
              joined({row(0, 0, 100), row(1, 100, 128)}));
    // A full-width row; on row 1 both edges saturate far right of the window.
    EXPECT_EQ(session.lit_by("fill(triangle(-2147483648, 0, 2147483647, 0, 2147483647, 1), c)"),
              row(0, 0, 199));
    // Outline edges crossing the window from far outside it.
    EXPECT_EQ(session.lit_by("draw(triangle(-2000000000, 10, 2000000000, 10, 0, 2000000000), c)"),
              row(10, 0, 199));
    EXPECT_EQ(session.lit_by("draw(triangle(-2147483648, -2147483648, 2147483647, 2147483647, "
                             "-2147483648, -2147483648), c)"),
              [] {
                  PixelSet d;
                  for (int k = 0; k < 150; ++k) d.insert({k, k});
                  return d;
              }());
    // A circle wrapping around the 32-bit range: its points clamp off screen.
    EXPECT_TRUE(session.lit_by("draw(circle(2147483647, 2147483647, 3), c)").empty());
}

TEST_F(Canvas, Rectangles) {
    EXPECT_EQ(session.lit_by("fill(rect(0, 0, 0, 0), c)"), PixelSet({{0, 0}}));
    EXPECT_EQ(session.lit_by("draw(rect(7, 8, 0, 0), c)"), PixelSet({{7, 8}}));
    EXPECT_EQ(session.lit_by("fill(rect(10, 20, 3, 2), c)"),
              joined({row(20, 10, 12), row(21, 10, 12)}));
    EXPECT_EQ(session.lit_by("draw(rect(2, 3, 4, 5), c)"),
              joined({row(3, 2, 5), row(7, 2, 5), column(2, 3, 7), column(5, 3, 7)}));
    // A negative width wraps to a huge one: the rest of each row.
    EXPECT_EQ(session.lit_by("fill(rect(150, 0, -5, 2), c)"),
              joined({row(0, 150, 199), row(1, 150, 199)}));
    // Cut by the window: only the sides inside it are drawn.
    EXPECT_EQ(session.lit_by("draw(rect(-10, 5, 30, 10), c)"),
              joined({row(5, 0, 19), row(14, 0, 19), column(19, 5, 14)}));
    EXPECT_EQ(session.lit_by("draw(rect(190, 140, 1000, 1000), c)"),
              joined({row(140, 190, 199), column(190, 140, 149)}));
    EXPECT_TRUE(session.lit_by("draw(rect(-5, -5, 1000, 1000), c)").empty());
    // Its right side is at -1073741700 + 1073741823 - 1 = 122; near 2^30 floats are 64 apart.
    EXPECT_EQ(session.lit_by("fill(rect(-1073741700, -1000, 1073741900, -1), c)").size(),
              123u * 150u);
}

TEST_F(Canvas, ColoursAndArgumentKinds) {
    session.run("clear()\nfill(rect(1, 1, 1, 1), color(256, -1, 300.7))");
    int width, height;
    std::vector<Uint32> pixels = session.frame(width, height);
    EXPECT_EQ(pixels[static_cast<std::size_t>(width + 1)], 0xFF00FF2Cu);
    EXPECT_TRUE(session.lit_by("fill(color(255, 0, 0), rect(0, 0, 10, 10))").empty());
    EXPECT_TRUE(session
                    .lit_by("draw(rect(0, 0, 10, 10), rect(0, 0, 10, 10))\nfill(5, "
                            "c)\nfill(rect(0, 0, 5, 5), null)")
                    .empty());
    EXPECT_TRUE(session.value_of("fill(rect(0, 0, 10, 10), c)").is(Value::Null));
    // clear() paints everything black again.
    session.run("fill(rect(0, 0, 200, 150), c)");
    EXPECT_EQ(session.lit().size(), 200u * 150u);
    EXPECT_TRUE(session.lit_by("").empty());
}

// The pixels the rasteriser covers inside a target of width by height, counting
// the points and spans it emits: the reference batched drawing must match.
struct Coverage {
    int width, height;
    PixelSet pixels;
    std::size_t points = 0, spans = 0;
    void point(std::int32_t x, std::int32_t y) {
        ++points;
        pixels.insert({x, y});
    }
    void span(std::int32_t x0, std::int32_t x1, std::int32_t y) {
        ++spans;
        for (std::int32_t x = x0; x <= x1; ++x) pixels.insert({x, y});
    }
};

// What the rasteriser covers for `draw` (as `emit(clip, coverage)`) in the target.
template <class Emit>
Coverage covered(int width, int height, Emit emit) {
    Coverage c{width, height, {}};
    emit(raster::target_clip(width, height), c);
    return c;
}

TEST_F(Canvas, ShapesCrossingEveryEdgeOfTheWindow) {
    const CircleData round{100, 75, 110};
    const TriangleData wide{-30, -40, 260, 60, 40, 200};
    auto fill_round = [&](const raster::Clip& clip, Coverage& c) {
        raster::circle_fill(round, clip, c);
    };
    auto draw_round = [&](const raster::Clip& clip, Coverage& c) {
        raster::circle_outline(round, clip, c);
    };
    auto fill_wide = [&](const raster::Clip& clip, Coverage& c) {
        raster::triangle_fill(wide, clip, c);
    };
    auto draw_wide = [&](const raster::Clip& clip, Coverage& c) {
        raster::triangle_outline(wide, clip, c);
    };
    const PixelSet fill_circle_pixels = covered(200, 150, fill_round).pixels;
    ASSERT_LT(fill_circle_pixels.size(), 200u * 150u);  // the corners stay dark
    EXPECT_EQ(session.lit_by("fill(circle(100, 75, 110), c)"), fill_circle_pixels);
    EXPECT_EQ(session.lit_by("draw(circle(100, 75, 110), c)"),
              covered(200, 150, draw_round).pixels);
    EXPECT_EQ(session.lit_by("fill(triangle(-30, -40, 260, 60, 40, 200), c)"),
              covered(200, 150, fill_wide).pixels);
    EXPECT_EQ(session.lit_by("draw(triangle(-30, -40, 260, 60, 40, 200), c)"),
              covered(200, 150, draw_wide).pixels);
    EXPECT_EQ(session.lit_by("fill(rect(-3, -4, 207, 160), c)").size(), 200u * 150u);
    EXPECT_EQ(session.lit_by("draw(rect(-3, -4, 207, 160), c)"), PixelSet());
    // Rows of every width from 1 to the whole window, the lower ones cut at both sides.
    EXPECT_EQ(session.lit_by("fill(triangle(100, 0, -100, 200, 300, 200), c)"),
              covered(200, 150, [](const raster::Clip& clip, Coverage& c) {
                  raster::triangle_fill({100, 0, -100, 200, 300, 200}, clip, c);
              }).pixels);
}

// Every pixel that is not black, with its colour (RGB).
std::map<Pixel, Uint32> colours_of(Session& session) {
    int width, height;
    std::vector<Uint32> pixels = session.frame(width, height);
    std::map<Pixel, Uint32> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Uint32 rgb = pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFFu;
            if (rgb != 0) out[{x, y}] = rgb;
        }
    }
    return out;
}

TEST_F(Canvas, ColourChangesBetweenShapesInOneFrame) {
    session.run(
        "clear()\nfill(circle(60, 60, 30), color(255, 0, 0))\nfill(circle(80, 60, 30), color(0, 0, "
        "255))\ndraw(circle(70, 60, 20), color(0, 255, 0))\nfill(rect(0, 0, 30, 40), color(255, 0, "
        "0))\nfill(rect(10, 10, 30, 40), color(0, 0, 255))");
    // Later shapes paint over earlier ones, each in its own colour.
    std::map<Pixel, Uint32> expected;
    auto paint = [&](const PixelSet& pixels, Uint32 rgb) {
        for (const Pixel& p : pixels) expected[p] = rgb;
    };
    auto rect_pixels = [](int x, int y, int w, int h) {
        PixelSet out;
        for (int j = y; j < y + h; ++j) out.merge(row(j, x, x + w - 1));
        return out;
    };
    paint(covered(200, 150,
                  [](const raster::Clip& clip, Coverage& c) {
                      raster::circle_fill({60, 60, 30}, clip, c);
                  })
              .pixels,
          0xFF0000u);
    paint(covered(200, 150,
                  [](const raster::Clip& clip, Coverage& c) {
                      raster::circle_fill({80, 60, 30}, clip, c);
                  })
              .pixels,
          0x0000FFu);
    paint(covered(200, 150,
                  [](const raster::Clip& clip, Coverage& c) {
                      raster::circle_outline({70, 60, 20}, clip, c);
                  })
              .pixels,
          0x00FF00u);
    paint(rect_pixels(0, 0, 30, 40), 0xFF0000u);
    paint(rect_pixels(10, 10, 30, 40), 0x0000FFu);
    EXPECT_EQ(colours_of(session), expected);
}

TEST_F(Canvas, ClearBetweenDrawsRemovesWhatCameBefore) {
    EXPECT_EQ(session.lit_by("fill(rect(0, 0, 50, 50), c)\nfill(circle(40, 40, 30), c)\nclear()\n"
                             "fill(rect(120, 100, 2, 1), c)"),
              row(100, 120, 121));
    EXPECT_EQ(session.lit_by("draw(circle(40, 40, 30), c)\nclear()\ndraw(triangle(150, 10, 150, "
                             "12, 150, 12), c)"),
              column(150, 10, 12));
}

TEST_F(Graphics, MoreSpansAndPointsThanOneBatchHolds) {
    Session session;
    session.run("window(600, 400)\nlet c = color(255, 255, 255)");
    ASSERT_NE(session.graphics(), nullptr);
    struct Case {
        const char* script;
        Coverage reference;
    };
    const Case cases[] = {
        {"fill(circle(300, 200, 190), c)",
         covered(600, 400,
                 [](const raster::Clip& clip, Coverage& c) {
                     raster::circle_fill({300, 200, 190}, clip, c);
                 })},
        {"draw(circle(300, 200, 190), c)",
         covered(600, 400,
                 [](const raster::Clip& clip, Coverage& c) {
                     raster::circle_outline({300, 200, 190}, clip, c);
                 })},
        {"fill(triangle(10, 0, 590, 120, 300, 399), c)",
         covered(600, 400,
                 [](const raster::Clip& clip, Coverage& c) {
                     raster::triangle_fill({10, 0, 590, 120, 300, 399}, clip, c);
                 })},
        {"draw(triangle(10, 0, 590, 120, 300, 399), c)",
         covered(600, 400,
                 [](const raster::Clip& clip, Coverage& c) {
                     raster::triangle_outline({10, 0, 590, 120, 300, 399}, clip, c);
                 })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        // Each shape needs several batches.
        EXPECT_GT(c.reference.points + c.reference.spans, static_cast<std::size_t>(DRAW_BATCH));
        EXPECT_EQ(session.lit_by(c.script), c.reference.pixels);
    }
}

TEST_F(Graphics, WindowSizesAndRepeatedCalls) {
    Session session;
    EXPECT_TRUE(session.value_of("window_width()").is(Value::Null));
    EXPECT_FALSE(session.value_of("is_open()").as_boolean());
    session.run("window(64.9, 48)");
    EXPECT_TRUE(session.value_of("is_open()").as_boolean());
    EXPECT_EQ(session.value_of("window_width()").as_number(), 64);
    EXPECT_EQ(session.value_of("window_height()").as_number(), 48);
    session.run("window(100, 100)");
    EXPECT_EQ(session.value_of("window_width()").as_number(), 64);
    EXPECT_TRUE(session.value_of("window(100, 100)").is(Value::Null));
    EXPECT_STREQ(SDL_GetWindowTitle(session.graphics()->window), "Quenra");
}

void push_key(SDL_Keycode key, Uint32 type, Uint8 repeat, Uint32 window_id) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.windowID = window_id;
    event.key.repeat = repeat;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

TEST_F(Graphics, QuitEventClosesAtTheNextPresent) {
    Session session;
    session.run("window(32, 32)");
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_TRUE(session.value_of("is_open()").as_boolean());
    session.run("present()");
    EXPECT_FALSE(session.value_of("is_open()").as_boolean());
    // Everything keeps working on the closed window; nothing reopens it.
    EXPECT_EQ(session.lit_by("fill(rect(1, 2, 1, 1), color(9, 9, 9))\npresent()\nfill(rect(3, 4, "
                             "1, 1), color(9, 9, 9))"),
              PixelSet({{1, 2}, {3, 4}}));
    EXPECT_EQ(session.value_of("window_width()").as_number(), 32);
    session.run("window(32, 32)\npresent()");
    EXPECT_FALSE(session.value_of("is_open()").as_boolean());
}

TEST_F(Graphics, EscapeAndItsRepeatsCloseOtherKeysDoNot) {
    struct Case {
        SDL_Keycode key;
        Uint32 type;
        Uint8 repeat;
        Uint32 window_id;
        bool closes;
    };
    const Case cases[] = {
        {SDLK_a, SDL_KEYDOWN, 0, 1, false},      {SDLK_ESCAPE, SDL_KEYUP, 0, 1, false},
        {SDLK_RETURN, SDL_KEYDOWN, 1, 1, false}, {SDLK_ESCAPE, SDL_KEYDOWN, 0, 1, true},
        {SDLK_ESCAPE, SDL_KEYDOWN, 1, 1, true},  {SDLK_ESCAPE, SDL_KEYDOWN, 0, 4242, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " repeat " << int(c.repeat)
                                        << " window " << c.window_id);
        Session session;
        session.run("window(16, 16)\npresent()");
        push_key(c.key, c.type, c.repeat, c.window_id);
        EXPECT_TRUE(session.value_of("is_open()").as_boolean());
        session.run("present()");
        EXPECT_EQ(session.value_of("is_open()").as_boolean(), !c.closes);
    }
}

TEST_F(Graphics, SdlRunsOnlyWhileAWindowExists) {
    {
        Session session;
        session.run(
            "fill(rect(0, 0, 1, 1), color(1, 1, "
            "1))\nclear()\npresent()\nwindow_width()\ndraw(circle(1, 1, 1), color(1, 1, 1))");
        EXPECT_EQ(SDL_WasInit(0), 0u);
        session.run("window(8, 8)");
        EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
    EXPECT_EQ(SDL_WasInit(0), 0u);
}

TEST_F(Graphics, StartUpFailuresLeaveNoTrace) {
    Session session;
    const char* display = std::getenv("DISPLAY");
    std::string saved_display = display != nullptr ? display : "";
    set_variable("DISPLAY", nullptr);
    set_variable("SDL_VIDEODRIVER", "x11");
    testing::internal::CaptureStderr();
    session.run("window(64, 48)");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Failed to get video subsystem: x11 not available\n");
    EXPECT_FALSE(session.value_of("is_open()").as_boolean());
    EXPECT_EQ(SDL_WasInit(0), 0u);
    if (display != nullptr) set_variable("DISPLAY", saved_display.c_str());

    use_headless_video();
    testing::internal::CaptureStderr();
    session.run("window(-1, 48)\nwindow(64, 2147483648)\nwindow(2147483648, -1)");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Failed to create window: Window width (4294967295) is too high.\n"
              "Failed to create window: Window height (2147483648) is too high.\n"
              "Failed to create window: Window width (2147483648) is too high.\n");
    EXPECT_EQ(SDL_WasInit(0), 0u);
    session.run("window(64, 48)");
    EXPECT_TRUE(session.value_of("is_open()").as_boolean());
}

TEST_F(Graphics, OnlyOneEventPumpAtATime) {
    auto first = std::make_unique<Session>();
    first->run("window(8, 8)");
    {
        Session second;
        testing::internal::CaptureStderr();
        second.run("window(8, 8)");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Failed to create event pump: only one event pump may exist at a time\n");
        EXPECT_FALSE(second.value_of("is_open()").as_boolean());
        EXPECT_TRUE(first->value_of("is_open()").as_boolean());
        first.reset();
        // With the first window gone, the second session can open its own.
        second.run("window(8, 8)");
        EXPECT_TRUE(second.value_of("is_open()").as_boolean());
    }
    EXPECT_EQ(SDL_WasInit(0), 0u);
}

// A renderer SDL does not recognise: setting its colour fails as a lost renderer would.
TEST_F(Graphics, FailingToSetTheDrawColourStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* script : {"fill(rect(0, 0, 1, 1), color(1, 2, 3))", "clear()"}) {
        EXPECT_EXIT(
            {
                Session session;
                session.run("window(8, 8)");
                static void* not_a_renderer = nullptr;
                session.graphics()->renderer = reinterpret_cast<SDL_Renderer*>(&not_a_renderer);
                session.run(script);
            },
            testing::ExitedWithCode(1), "^Parameter 'renderer' is invalid\n$");
    }
}

}  // namespace
}  // namespace quenra
