Usage: quenra \[--verbose \| -v\] \[--warn \| -W\] \[--check\] \[script\.qn\]
.*-W, --warn .*FILE:LINE:COL: warning: MESSAGE.*      --check .*--help.*
