# The one command: make test. See README.md.
PRESETS := win64 win32 host
ARGS ?=

.PHONY: all deps build test bench run demo clean stop-wine $(addprefix build-,$(PRESETS))

all: build

deps:
	@scripts/deps.sh

# A static pattern rule: make skips implicit rules for phony targets.
$(addprefix build-,$(PRESETS)): build-%: deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

build: $(addprefix build-,$(PRESETS))

test: build
	@status=0; \
	for p in host win32 win64; do \
		echo "== ctest $$p"; ctest --preset $$p --no-tests=error || status=1; \
	done; \
	echo "== the shipped program"; \
	tests/resources/check-binary.sh build/win32/bin/uninstall.exe || status=1; \
	tests/wine/wine-prefix.sh stop; \
	exit $$status

# Size, start-up, removal speed and lookups, each beside its peer; prints the
# report and writes build/bench/report.md. Not part of make test, which runs
# it once in its quick configuration (ctest bench.tiny).
bench: deps
	@bench/run.sh

# Runs the program under Wine in the build's private prefix: make run ARGS='/warning'
run: build-win64
	tests/wine/wine-run.sh build/win64/bin/uninstall.exe $(ARGS)

# The whole story under Wine, in a throwaway prefix (build/demo): another
# program owns .zip, Vexora is installed and set up, then removed the way
# Windows removes it, and the machine is compared with before.
# make demo INTERACTIVE=1 shows the dialogs on $$DISPLAY instead of silent setup.
demo: build-win64
	@scripts/demo $(if $(INTERACTIVE),--interactive)

stop-wine:
	tests/wine/wine-prefix.sh stop

clean: stop-wine
	rm -rf build
