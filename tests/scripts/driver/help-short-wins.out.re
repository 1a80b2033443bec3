Usage: quenra \[--verbose \| -v\] \[script\.qn\]
.*