#!/usr/bin/env python3
"""Write a large, realistic Quenra source file for the front-end benchmarks.

The file holds many function definitions (parameters, lets, while and for loops,
if/else, match, arrays, dicts, string literals with escapes, floats, built-in calls,
member access) and comments of both kinds. Nothing is ever called and there is no
`main`, so running the file only stores the definitions: the time goes to the
tokenizer and the parser.

    bench/gen_source.py --size-mb 50 -o /tmp/big.qn

The output is deterministic for a given size and seed.
"""

import argparse
import random
import sys

WORDS = [
    "player", "enemy", "score", "speed", "width", "height", "frame", "count",
    "total", "index", "value", "item", "name", "color", "shape", "step", "delta",
    "limit", "offset", "level", "lives", "timer", "angle", "radius", "target",
]
FIELDS = ["x", "y", "w", "h", "hp", "name", "kind", "speed", "tag"]
BUILTINS_1 = ["len", "abs", "sqrt", "floor", "ceil", "round", "upper", "lower", "typeof"]
SENTENCES = [
    "Hello, world!", "Game over\\n", "Score: ", "tab\\there", "quote \\\"inside\\\"",
    "level complete", "press any key", "päivää", "naïve café", "line one\\nline two",
]
COMMENTS = [
    "# Update the position from the velocity.",
    "# Keep the value inside the playing field.",
    "# TODO: handle the edge case where the list is empty.",
    "/* A block comment: the loop below walks every item once. */",
    "/*\n * Multi-line block comment describing the next function.\n * It has several lines.\n */",
    "# Note: integer division truncates toward zero.",
]


class Gen:
    def __init__(self, rng):
        self.rng = rng
        self.counter = 0

    def name(self):
        self.counter += 1
        return "%s_%d" % (self.rng.choice(WORDS), self.rng.randrange(100))

    def atom(self, names):
        r = self.rng.random()
        if r < 0.35 and names:
            return self.rng.choice(names)
        if r < 0.6:
            return str(self.rng.randrange(1000))
        if r < 0.72:
            return "%d.%d" % (self.rng.randrange(100), self.rng.randrange(1000))
        if r < 0.82:
            return '"%s"' % self.rng.choice(SENTENCES)
        if r < 0.9 and names:
            return "%s.%s" % (self.rng.choice(names), self.rng.choice(FIELDS))
        if r < 0.95 and names:
            return "%s[%d]" % (self.rng.choice(names), self.rng.randrange(10))
        return self.rng.choice(["true", "false"])

    def expr(self, names, depth=0):
        r = self.rng.random()
        if depth > 2 or r < 0.3:
            return self.atom(names)
        if r < 0.6:
            op = self.rng.choice(["+", "-", "*", "/", "%", "<", ">", "<=", ">=", "==", "!=", "and", "or"])
            return "%s %s %s" % (self.expr(names, depth + 1), op, self.expr(names, depth + 1))
        if r < 0.7:
            return "(%s)" % self.expr(names, depth + 1)
        if r < 0.8:
            return "%s(%s)" % (self.rng.choice(BUILTINS_1), self.expr(names, depth + 1))
        if r < 0.85:
            return "concat(%s, %s, %s)" % (self.atom(names), self.atom(names), self.atom(names))
        if r < 0.9:
            return "[%s]" % ", ".join(self.atom(names) for _ in range(self.rng.randrange(5)))
        if r < 0.95:
            keys = self.rng.sample(FIELDS, self.rng.randrange(1, 4))
            return "{%s}" % ", ".join("%s: %s" % (k, self.atom(names)) for k in keys)
        return "-%s" % self.atom(names)

    def block(self, names, indent, depth):
        out = []
        for _ in range(self.rng.randrange(2, 6)):
            out.extend(self.stmt(names, indent, depth))
        return out

    def stmt(self, names, indent, depth):
        pad = "    " * indent
        r = self.rng.random()
        if r < 0.08:
            return [pad + line for line in self.rng.choice(COMMENTS).split("\n")]
        if depth >= 2 or r < 0.4:
            var = self.name()
            names.append(var)
            kind = self.rng.random()
            if kind < 0.5:
                return [pad + "let %s = %s" % (var, self.expr(names))]
            if kind < 0.75:
                return [pad + "%s %s %s" % (var, self.rng.choice(["=", "+=", "-=", "*="]), self.expr(names))]
            if kind < 0.85:
                return [pad + "%s = push(%s, %s)" % (var, var, self.atom(names))]
            return [pad + "print(%s)" % self.expr(names)]
        if r < 0.55:
            lines = [pad + "if %s {" % self.expr(names)]
            lines += self.block(names, indent + 1, depth + 1)
            if self.rng.random() < 0.5:
                lines.append(pad + "} else {")
                lines += self.block(names, indent + 1, depth + 1)
            lines.append(pad + "}")
            return lines
        if r < 0.67:
            var = self.name()
            names.append(var)
            lines = [pad + "for %s in 0..%s {" % (var, self.atom(names))]
            lines += self.block(names, indent + 1, depth + 1)
            return lines + [pad + "}"]
        if r < 0.77:
            lines = [pad + "while %s < %d {" % (self.rng.choice(names) if names else "i", self.rng.randrange(100))]
            lines += self.block(names, indent + 1, depth + 1)
            if self.rng.random() < 0.3:
                lines.append(pad + "    break")
            return lines + [pad + "}"]
        if r < 0.85:
            lines = [pad + "match %s {" % self.atom(names)]
            for k in range(self.rng.randrange(1, 4)):
                lines.append(pad + "    %d => print(%s)" % (k, self.atom(names)))
            lines.append(pad + "    _ => {")
            lines += self.block(names, indent + 2, depth + 1)
            lines.append(pad + "    }")
            return lines + [pad + "}"]
        if r < 0.9:
            return [pad + "global %s" % self.name()]
        return [pad + "return %s" % self.expr(names)]

    def function(self):
        self.counter += 1
        params = ["p%d" % i for i in range(self.rng.randrange(4))]
        lines = []
        if self.rng.random() < 0.5:
            lines.append(self.rng.choice(COMMENTS))
        lines.append("def fn_%d(%s) {" % (self.counter, ", ".join(params)))
        lines += self.block(list(params), 1, 0)
        lines.append("    return %s" % self.expr(list(params)))
        lines.append("}")
        lines.append("")
        return "\n".join(lines) + "\n"


def generate(size_bytes, seed, out):
    gen = Gen(random.Random(seed))
    written = 0
    header = "# Generated front-end benchmark input: definitions only, nothing is called.\n\n"
    out.write(header)
    written += len(header.encode("utf-8"))
    while written < size_bytes:
        text = gen.function()
        out.write(text)
        written += len(text.encode("utf-8"))
    return written


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--size-mb", type=float, default=10.0, help="target size in MB (10^6 bytes)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("-o", "--output", help="output file (default: standard output)")
    args = ap.parse_args()
    size = int(args.size_mb * 1_000_000)
    if args.output:
        with open(args.output, "w", encoding="utf-8", newline="\n") as f:
            n = generate(size, args.seed, f)
    else:
        n = generate(size, args.seed, sys.stdout)
    print("wrote %d bytes" % n, file=sys.stderr)


if __name__ == "__main__":
    main()
