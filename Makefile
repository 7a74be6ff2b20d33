# Front door. `make run` starts the program against a simulated card; `make test` runs every test.
# Both install what they need from Debian's packages first.
.PHONY: all deps native win32 win64 test run dist clean format

all: native win32 win64

deps:
	@scripts/install-deps.sh

native win32 win64: deps
	@scripts/build.sh $(if $(filter native,$@),native,native $@)

test: deps
	@scripts/test-all.sh

run: deps
	@scripts/run.sh

# Portable zips per bitness and the installer, under build/dist.
dist: deps
	@scripts/dist.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
