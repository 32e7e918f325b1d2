# Top-level entry points. `make run` and `make test` install what is missing, build and go.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local
FUZZ_SECONDS ?= 5
# The compiler cache keys on paths relative to the checkout, so every clone shares it.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

BUILD_PACKAGES = pkg-config cmake make g++ clang libclang-rt-14-dev ccache \
  libsdl2-dev libx11-dev libxi-dev libfluidsynth-dev libturbojpeg0-dev libpng-dev zlib1g-dev libcairo2-dev libfreetype-dev \
  fonts-linuxlibertine fonts-dejavu-core libgtest-dev libbenchmark-dev gettext
RUN_PACKAGES   = libsdl2-2.0-0 libx11-6 libxi6 libfluidsynth3 libturbojpeg0 libpng16-16 fluid-soundfont-gm timgm6mb-soundfont
TEST_PACKAGES  = xvfb xauth xdotool x11-utils imagemagick faketime openbox gdb
PACKAGE_PACKAGES = dpkg-dev binutils lintian desktop-file-utils appstream
PACKAGES = $(BUILD_PACKAGES) $(RUN_PACKAGES) $(TEST_PACKAGES) $(PACKAGE_PACKAGES)

.PHONY: all deps configure build run test test-asan soak fuzz-smoke asan bench bench-real music-wav art-sheet shots install deb package-check clean

all: build

deps:
	@missing=$$(dpkg-query -W -f='$${Package} $${Status}\n' $(PACKAGES) 2>/dev/null | \
	    awk '$$NF == "installed" {print $$1}' | sort > /tmp/.quillfen-have.$$$$; \
	    for p in $(PACKAGES); do grep -qx "$$p" /tmp/.quillfen-have.$$$$ || echo $$p; done; \
	    rm -f /tmp/.quillfen-have.$$$$); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get install -y $$(echo $$missing)"; \
	    exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: deps build
	./$(BUILD)/quillfen-solitaire

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	tests/package/check.sh $(BUILD)
	$(MAKE) fuzz-smoke

# Every reader of outside data under libFuzzer, a few seconds each, seeded from the generated data.
fuzz-smoke:
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) \
	    -DQUILLFEN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	tests/fuzz/run.sh $(FUZZ_BUILD) $(BUILD)/data $(FUZZ_SECONDS)

# The whole suite under AddressSanitizer, UBSan and LeakSanitizer, at -O1 with line tables only to
# keep CI short. Leaks inside system libraries are suppressed by tests/lsan.supp (set in CTest's
# environment). The data files are copied from the normal build rather than rendered again. The
# autoplayer plays 16 deals a game there (200 in the normal build), the golden traces replay 8 of
# their 50 deals, and the monkey redraws fully at every fourth chance. Greedy play's win bands and
# the scaled art's pixel comparisons measure the rules and the data, not memory: they run in the
# normal build only.
test-asan: deps build
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) -DQUILLFEN_SANITIZE=ON \
	    -DQUILLFEN_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
	    -DCMAKE_C_FLAGS_DEBUG="-g1 -O1" -DQUILLFEN_DATA_FROM=$(CURDIR)/$(BUILD)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && QUILLFEN_AUTOPLAY_DEALS=16 QUILLFEN_TRACE_DEALS=8 QUILLFEN_MONKEY_SCREEN_EVERY=4 \
	    ctest --output-on-failure -j$(JOBS) -E 'GreedyPlayWinsItsShareOfDeals|EveryPictureHasTwoXAndThreeXArt'

asan: test-asan

# The monkey test at length: SOAK_MESSAGES random messages from SOAK_SEED (0 = from the clock),
# the screen redrawn in full for the coherence check at every SOAK_SCREEN_EVERY-th chance (a full
# redraw at every message would repair garbage before play meets it).
SOAK_MESSAGES ?= 1000000
SOAK_SEED     ?= 0
SOAK_SCREEN_EVERY ?= 4
soak: build
	QUILLFEN_MONKEY_MESSAGES=$(SOAK_MESSAGES) QUILLFEN_MONKEY_SEED=$(SOAK_SEED) QUILLFEN_MONKEY_SCREEN_EVERY=$(SOAK_SCREEN_EVERY) \
	    QUILLFEN_DATA_DIR=$(CURDIR)/$(BUILD)/data SDL_AUDIODRIVER=dummy \
	    ./$(BUILD)/tests/monkey/monkey_tests --gtest_filter='Monkey.Soak'

bench: build
	./$(BUILD)/tests/bench/bench_draw
	tests/bench/run_present.sh $(BUILD)

# The real program under Xvfb beside a bare SDL program: start-up, deals, idle, memory, and a
# soak of BENCH_DEALS deals (prints the table kept in docs/benchmarks.md). BENCH_SCREEN=WxH measures
# full screen on a screen of that size under a window manager.
BENCH_DEALS ?= 100
bench-real: build
	tests/bench/bench_real.sh $(BUILD) $(BENCH_DEALS)

# Every song rendered to a WAV file for listening (build/music-wav/).
music-wav: build
	./$(BUILD)/tools/dev/music_render $(BUILD)/data $(BUILD)/music-wav

# One contact-sheet PNG per group of pictures (cards, each theme, screens) into build/.
art-sheet: build
	./$(BUILD)/tools/artgen/artgen --out $(BUILD)/data --assets assets --art-sheet $(BUILD)

# Screenshots of the selection screen, every game's deal, the dialogs, the six themes and the end
# screens at 1x, 2x and 3x, from the scripted back end (no display needed):
# build/shots/<scale>x/*.png, in the environment's language (`make shots LANG=de` writes
# build/shots/de/<scale>x/*.png); contact sheets of a dialog with every control in all six themes
# at 1x and 3x (build/shots/controls_<scale>x.png) and of the six tables and the end screens
# (build/shots/tables_<scale>x.png, beside the language's screenshots).
shots: build
	LANGUAGE= LC_ALL= LC_MESSAGES= LANG=$(LANG) QUILLFEN_DATA_DIR=$(CURDIR)/$(BUILD)/data SDL_AUDIODRIVER=dummy \
	    ./$(BUILD)/tools/dev/shots $(BUILD)/shots
	QUILLFEN_DATA_DIR=$(CURDIR)/$(BUILD)/data SDL_AUDIODRIVER=dummy ./$(BUILD)/tools/dev/ui_sample $(BUILD)/shots 1 3
	for folder in $(BUILD)/shots $(BUILD)/shots/*/; do \
	    for scale in 1 3; do \
	        [ -f $$folder/$${scale}x/end_won.png ] || continue; \
	        montage $$folder/$${scale}x/theme?_gate.png $$folder/$${scale}x/end_*.png -tile 3x -geometry +8+8 \
	            -background '#202020' $$folder/tables_$${scale}x.png || exit 1; \
	    done; \
	done

install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, made from the existing build into $(BUILD)/deb and checked by lintian.
deb: deps build
	debian/build-package.sh $(BUILD) $(BUILD)/deb
	lintian --fail-on error --info $(BUILD)/deb/quillfen-solitaire_*.deb

# What make test checks of the package: metadata, contents, and the unpacked program under Xvfb.
package-check: build
	tests/package/check.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(ASAN_BUILD)
