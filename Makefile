# Kestrum: `make run` builds and starts the game, `make test` builds and runs every test.
# Both install the Debian packages they need first (as root; otherwise they print the
# command to run).

BUILD ?= build
JOBS ?= $(shell nproc)

# Build and run-time packages; test tools are listed separately.
DEPS = cmake g++ make pkg-config qt6-base-dev libgl-dev libsdl2-mixer-dev libfontconfig-dev libxcb1-dev timgm6mb-soundfont fonts-liberation2 qt6-translations-l10n
TEST_DEPS = libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils x11-xserver-utils openbox xfwm4 dbus weston xwayland sway wtype grim qt6-wayland desktop-file-utils appstream lintian dpkg-dev

.PHONY: all run test deps test-deps build clean assets test-sanitized fuzz soak soak-short bench bench-run package

all: build

deps:
	@./tools/install-deps.sh $(DEPS)

test-deps:
	@./tools/install-deps.sh $(DEPS) $(TEST_DEPS)

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./kestrum

test: test-deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
ifeq ($(CI),true)
	$(MAKE) test-sanitized fuzz soak-short
endif

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer; any report
# fails the run.
SANITIZED = build-sanitized
test-sanitized: test-deps
	cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
	cmake --build $(SANITIZED) -j $(JOBS)
	cd $(SANITIZED) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The Debian package, in $(BUILD): kestrum_<version>_amd64.deb.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls -l $(BUILD)/kestrum_*.deb

# Repaints the shipped skin, background and icon from the skin painter.
assets: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/skinpainter --skin data/Skins/kestrum --cell 22
	QT_QPA_PLATFORM=offscreen $(BUILD)/skinpainter --skin data/Skins/desert --cell 16 --scheme desert
	QT_QPA_PLATFORM=offscreen $(BUILD)/skinpainter --skin data/Skins/night --cell 32 --scheme night
	QT_QPA_PLATFORM=offscreen $(BUILD)/skinpainter --background data/Skins/Fone.bmp
	QT_QPA_PLATFORM=offscreen $(BUILD)/skinpainter --icon data/kestrum.png --size 256
	$(BUILD)/soundsynth data/Sounds.dxw
	mkdir -p data/Sounds && $(BUILD)/themecomposer data/Sounds

clean:
	rm -rf $(BUILD)

# Fuzzing with libFuzzer (clang): every file reader, from the seed corpora in tests/fuzz.
FUZZ = build-fuzz
FUZZ_SECONDS ?= 60
fuzz: test-deps
	@./tools/install-deps.sh clang libclang-rt-14-dev
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DKESTRUM_FUZZ=ON -DKESTRUM_TESTS=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_profile fuzz_language fuzz_levelpack fuzz_wavelist fuzz_skin
	./tools/run-fuzz.sh $(FUZZ) $(FUZZ_SECONDS)

# Hours of play by the bot: SOAK_TICKS ticks over every level and field size.
SOAK_TICKS ?= 10000000
soak: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target soak_test
	cd $(BUILD) && KESTRUM_SOAK_TICKS=$(SOAK_TICKS) ./tests/soak_test --gtest_filter='Soak.*'
soak-short:
	$(MAKE) soak SOAK_TICKS=5000000

# Benchmarks: the handlers and readers against their budgets, the game timer in the real
# window, and the whole program under Xvfb beside a bare Qt window. Every part runs; the
# target fails at the end if any figure is over its budget.
bench: test-deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) > /dev/null
	cmake --build $(BUILD) -j $(JOBS) --target kestrum kestrum_bench timer_precision reference_window
bench-run: bench
	@over=0; \
	echo "== Handlers and readers"; \
	$(BUILD)/bench/kestrum_bench --check-budgets || over=1; \
	echo; echo "== Game timer in the real window (offscreen)"; \
	$(BUILD)/bench/timer_precision --check-budgets || over=1; \
	echo; echo "== The whole program under Xvfb"; \
	bench/program_bench.sh $(BUILD) 5 --check-budgets || over=1; \
	exit $$over
