# Front door. `make run` starts the program against a simulated card; `make test` runs every test.
# Both install what they need from Debian's packages first.
.PHONY: all deps native win32 win64 test run clean format

all: native win32 win64

deps:
	@scripts/install-deps.sh

native win32 win64: deps
	@scripts/build.sh $(if $(filter native,$@),native,native $@)

test: deps
	@scripts/test-all.sh

run: deps
	@scripts/run.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
