# Kestrum: `make run` builds and starts the game, `make test` builds and runs every test.
# Both install the Debian packages they need first (as root; otherwise they print the
# command to run).

BUILD ?= build
JOBS ?= $(shell nproc)

# Build and run-time packages; test tools are listed separately.
DEPS = cmake g++ make pkg-config qt6-base-dev libgl-dev libsdl2-mixer-dev timgm6mb-soundfont fonts-liberation2
TEST_DEPS = libgtest-dev xvfb xauth xdotool imagemagick x11-utils

.PHONY: all run test deps test-deps build clean assets

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
