\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m ─{33}
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Starting Quenra interpreter\.\.\.
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m File read successfully \(16 bytes\)
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Tokenization completed in \d+\.\d{3}ms
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Generated 5 tokens
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Parsing completed in \d+\.\d{3}ms
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Generated AST with 1 top-level statements
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Starting execution\.\.\.
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m ─{33}
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m ─{33}
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Tokenization: \d+\.\d{3}ms
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Parsing:      \d+\.\d{3}ms
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m Execution:    \d+\.\d{3}ms
\x1b\[33m\[\x1b\[93mQUENRA\x1b\[33m\]\x1b\[0m ─{33}
