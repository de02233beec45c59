#!/usr/bin/env node
// Runs the Khronos glTF validator on each file named and prints, per file, its errors and warnings
// ("file: 0 errors, 2 warnings" and the issues). Exits 1 when any file has an error, 2 when the
// validator is missing. The validator is looked for in .cache/npm of the project (where
// scripts/install-deps.sh puts it), then wherever node finds modules.
const fs = require('fs');
const path = require('path');

function loadValidator() {
    const local = path.join(__dirname, '..', '.cache', 'npm', 'node_modules', 'gltf-validator');
    for (const candidate of [local, 'gltf-validator']) {
        try {
            return require(candidate);
        } catch (e) {
            // try the next place
        }
    }
    return null;
}

async function main() {
    const validator = loadValidator();
    if (!validator) {
        console.error('gltf-validator is not installed (npm install gltf-validator)');
        process.exit(2);
    }
    let failed = false;
    for (const file of process.argv.slice(2)) {
        const full = path.resolve(file);
        const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(full)), {
            uri: path.basename(full),
            maxIssues: 100,
            externalResourceFunction: (uri) => new Promise((resolve, reject) => {
                fs.readFile(path.resolve(path.dirname(full), decodeURIComponent(uri)), (err, data) =>
                    err ? reject(err.toString()) : resolve(new Uint8Array(data)));
            }),
        });
        const issues = report.issues;
        console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
        for (const message of issues.messages) {
            if (message.severity <= 1) {
                console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ${message.pointer || ''}: ${message.message}`);
            }
        }
        failed = failed || issues.numErrors > 0;
    }
    process.exit(failed ? 1 : 0);
}

main().catch((e) => {
    console.error(String(e));
    process.exit(1);
});
